# Writes FOLDER/sw.js from TEMPLATE: the service worker that keeps FILES (comma-separated, in
# FOLDER) for play without a network, under a cache named after VERSION and a hash of those files
# as built. A build that changes any of them gets a cache of its own; the same files keep theirs.
# cmake -DFOLDER=... -DFILES=a,b -DVERSION=... -DTEMPLATE=.../sw.js.in -P web_worker.cmake
string(REPLACE "," ";" files "${FILES}")
set(hashes "")
set(TASPO_CACHED_FILES "")
foreach(file IN LISTS files)
    if(NOT EXISTS ${FOLDER}/${file})
        message(FATAL_ERROR "${FOLDER}/${file}: missing, but the service worker is to keep it")
    endif()
    file(SHA256 ${FOLDER}/${file} hash)
    string(APPEND hashes "${file} ${hash}\n")
    string(APPEND TASPO_CACHED_FILES "  '${file}',\n")
endforeach()
string(SHA256 digest "${hashes}")
string(SUBSTRING ${digest} 0 16 digest)
set(TASPO_CACHE "taspo-${VERSION}-${digest}")
configure_file(${TEMPLATE} ${FOLDER}/sw.js @ONLY)

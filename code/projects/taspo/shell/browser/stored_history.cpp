// The history's folder kept in the page's IndexedDB.
#include "projects/taspo/shell/browser/stored_history.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

// Module.taspoStorage: the folder, `sync` (FS.syncfs as a promise of why it failed, "" when it
// did not) and `clear`, which empties the folder and saves that. The IDBFS of emscripten 3.1
// loses the browser's reason when IndexedDB refuses a write, and may then never call back: the
// transaction's own error and abort answer here instead, and any error aborts the transaction,
// so a save stores all of its files or none.
// clang-format off
EM_ASYNC_JS(int, TaspoStorageOpen, (const char* folder, char* reason, int size), {
    var path = UTF8ToString(folder).replace(/[/]+$/, "");
    function said(error) {
        return error ? String(error.message || error.name || error).replace(/[.]$/, "") : "";
    }
    function sync(populate) {
        return new Promise(function (resolve) {
            var reconcile = IDBFS.reconcile;
            IDBFS.reconcile = function (from, to, done) {
                IDBFS.reconcile = reconcile;
                var finished = false;
                var transaction = null;
                function finish(error) {
                    if (finished) {
                        return;
                    }
                    finished = true;
                    if (error && transaction) {
                        try {
                            transaction.abort();
                        } catch (ignored) {
                        }
                    }
                    done(error || null);
                }
                var db = from && to && (from.type === 'remote' ? from.db : to.db);
                if (!db) {
                    finish(new Error('the browser storage did not answer'));
                    return;
                }
                db.transaction = function () {
                    transaction = IDBDatabase.prototype.transaction.apply(db, arguments);
                    transaction.addEventListener('error', function (event) {
                        finish(transaction.error || event.target.error || new Error('refused'));
                    });
                    transaction.addEventListener('abort', function () {
                        finish(transaction.error || new Error('the browser gave up storing it'));
                    });
                    return transaction;
                };
                try {
                    reconcile(from, to, finish);
                } catch (error) {
                    finish(error);
                } finally {
                    delete db.transaction;
                }
            };
            try {
                FS.syncfs(populate, function (error) {
                    IDBFS.reconcile = reconcile;
                    resolve(said(error));
                });
            } catch (error) {
                IDBFS.reconcile = reconcile;
                resolve(said(error));
            }
        });
    }
    function clear() {
        try {
            FS.readdir(path).forEach(function (name) {
                var file = path + '/' + name;
                if (name !== '.' && name !== '..' && !FS.isDir(FS.stat(file).mode)) {
                    FS.unlink(file);
                }
            });
        } catch (error) {
            return Promise.resolve(said(error) || 'the folder cannot be emptied');
        }
        return sync(false);
    }
    Module.taspoStorage = {folder: path, sync: sync, clear: clear};
    var problem = "";
    try {
        FS.mkdirTree(path);
        FS.mount(IDBFS, {}, path);
        problem = await sync(true);
    } catch (error) {
        problem = said(error) || 'the folder cannot be made';
    }
    stringToUTF8(problem, reason, size);
    return problem === "" ? 1 : 0;
});

EM_ASYNC_JS(int, TaspoStorageSync, (int populate, char* reason, int size), {
    var problem = await Module.taspoStorage.sync(populate !== 0);
    stringToUTF8(problem, reason, size);
    return problem === "" ? 1 : 0;
});
// clang-format on

namespace {

constexpr int ReasonBytes = 256;

std::string NotKept(const std::string& reason) {
    std::fprintf(stderr, "taspo: this game was not kept in the history: %s\n", reason.c_str());
    return reason;
}

// The names in `folder`, sorted.
std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

StoredHistory::StoredHistory(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty()) {
        unreadable_ = "the system names no folder for it";
        return;
    }
    char reason[ReasonBytes] = {};
    if (!TaspoStorageOpen(folder_.c_str(), reason, sizeof(reason))) {
        unreadable_ = reason;
    }
}

std::string StoredHistory::Keep(const PlayedGame& game, const std::vector<uint8_t>& replay) {
    if (!game.ToKeep()) {
        return "";
    }
    // Another tab may have kept a game since the folder was loaded: saving without it would take
    // it out of the page's storage.
    char reason[ReasonBytes] = {};
    if (unreadable_.empty() && !TaspoStorageSync(1, reason, sizeof(reason))) {
        unreadable_ = reason;
    }
    if (!unreadable_.empty()) {
        return NotKept("the history in this browser cannot be read (" + unreadable_ + ")");
    }
    std::vector<std::string> before = FileNames(folder_);
    std::string problem;
    if (!game.Keep(folder_, &replay, &problem)) {
        return problem;
    }
    if (TaspoStorageSync(0, reason, sizeof(reason))) {
        return "";
    }
    // Nothing of it was stored, so nothing of it stays in the folder either.
    for (const std::string& name : FileNames(folder_)) {
        if (!std::binary_search(before.begin(), before.end(), name)) {
            std::error_code ignored;
            std::filesystem::remove(folder_ + name, ignored);
        }
    }
    return NotKept(std::string("the browser did not store it (") + reason + ")");
}

std::vector<KeptGame> StoredHistory::Games() const {
    std::vector<std::string> problems;
    std::vector<KeptGame> games = HistoryStore(folder_).Load(&problems);
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "taspo: %s (left out)\n", problem.c_str());
    }
    return games;
}

// The emulated desktop's state and the choice of backend under it.
#include "platform/portable/session.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace portable {
namespace {

Backend* installedBackend = nullptr;
std::unique_ptr<Session> session;
volatile std::sig_atomic_t quitRequested = 0;
uint64_t quitRequestsTaken = 0;

// The module's address stands in for its instance handle.
char moduleBase;

}  // namespace

Session::~Session() {
    for (Window* window : windows) {
        delete window;
    }
    for (GdiObject* object : gdiObjects) {
        if (object->kind == GdiKind::Bitmap) {
            delete static_cast<Bitmap*>(object);
        } else {
            delete static_cast<DeviceContext*>(object);
        }
    }
}

WindowClass* Session::FindClass(const char* name, HINSTANCE instance) {
    for (WindowClass& windowClass : classes) {
        if (windowClass.name == name && (instance == nullptr || windowClass.instance == instance)) {
            return &windowClass;
        }
    }
    return nullptr;
}

Window* Session::FindWindow(HWND handle) {
    Window* window = reinterpret_cast<Window*>(handle);
    return windows.count(window) != 0 ? window : nullptr;
}

DeviceContext* Session::FindContext(HDC handle) {
    DeviceContext* context = reinterpret_cast<DeviceContext*>(handle);
    if (gdiObjects.count(context) != 0) {
        return context->kind == GdiKind::MemoryDC ? context : nullptr;
    }
    for (Window* window : windows) {
        if (&window->context == context) {
            return context;
        }
    }
    return nullptr;
}

GdiObject* Session::FindObject(HGDIOBJ handle) {
    GdiObject* object = static_cast<GdiObject*>(handle);
    return gdiObjects.count(object) != 0 ? object : nullptr;
}

Session& CurrentSession() {
    if (!session) {
        session = std::make_unique<Session>();
    }
    return *session;
}

void ResetSession() {
    session.reset();
}

Backend* InstallBackend(Backend* backend) {
    Backend* previous = installedBackend;
    ResetSession();
    installedBackend = backend;
    quitRequested = 0;
    quitRequestsTaken = 0;
    return previous;
}

Backend& CurrentBackend() {
    if (installedBackend == nullptr) {
        std::fputs("taspo: the platform layer was used before a backend was installed\n", stderr);
        std::abort();
    }
    return *installedBackend;
}

size_t LiveGdiObjects() {
    return CurrentSession().gdiObjects.size();
}

HINSTANCE ModuleInstance() {
    return reinterpret_cast<HINSTANCE>(&moduleBase);
}

void RequestQuit() {
    quitRequested = 1;
}

void WatchPump(Backend* backend, bool keep, const std::function<void(const MSG&)>& seen) {
    std::deque<MSG>& queue = CurrentSession().queue;
    size_t before = queue.size();
    backend->PumpEvents();
    for (size_t i = before; i < queue.size(); ++i) {
        seen(queue[i]);
    }
    if (!keep) {
        queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(before), queue.end());
    }
}

bool TakeQuitRequest() {
    if (quitRequested == 0) {
        return false;
    }
    quitRequested = 0;
    ++quitRequestsTaken;
    return true;
}

uint64_t QuitRequestsTaken() {
    return quitRequestsTaken;
}

}  // namespace portable

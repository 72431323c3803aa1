// The QuickTime binding: reference count, entry points and resolver.
#include "quicktime/QuickTime.h"

#include <array>
#include <cstddef>

namespace {

extern "C" intptr_t ErrorDispatcher(uint32_t, const QtWord*) { return kQtNotBound; }
extern "C" intptr_t ErrorComponent(void*, const void*, QtWord) { return kQtNotBound; }

void* NoLibrary() { return nullptr; }
void* NoEntry(void*, const char*) { return nullptr; }
void NoRelease(void*) {}

QtLibraryOps g_ops = {NoLibrary, NoEntry, NoRelease};

QtErr Resolve();

// Unbound, every entry answers "not bound".
struct Binding {
    void* library = nullptr;
    int count = 0;
    QtComponentProc storage = ErrorComponent;
    QtComponentProc component = ErrorComponent;
    QtDispatcherProc dispatcher = ErrorDispatcher;
    QtErr (*resolver)() = Resolve;
} g_qt;

bool TakeEntryPoints() {
    void* storage = g_ops.resolve(g_qt.library, kQtEntryStorage);
    void* component = g_ops.resolve(g_qt.library, kQtEntryComponent);
    void* dispatcher = g_ops.resolve(g_qt.library, kQtEntryDispatcher);
    if (!g_qt.library || !storage || !component || !dispatcher)
        return false;
    g_qt.storage = reinterpret_cast<QtComponentProc>(storage);
    g_qt.component = reinterpret_cast<QtComponentProc>(component);
    g_qt.dispatcher = reinterpret_cast<QtDispatcherProc>(dispatcher);
    return true;
}

QtErr Resolve() {
    if (!TakeEntryPoints())
        return kQtMissingEntry;
    g_qt.resolver = nullptr;
    return kQtNoErr;
}

void PutErrorEntries() {
    g_qt.storage = ErrorComponent;
    g_qt.component = ErrorComponent;
    g_qt.dispatcher = ErrorDispatcher;
    g_qt.resolver = Resolve;
}

void FreeLibraryHandle() {
    if (g_qt.library)
        g_ops.release(g_qt.library);
    g_qt.library = nullptr;
}

}  // namespace

void SetQtLibraryOps(const QtLibraryOps& ops) {
    g_ops.load = ops.load ? ops.load : NoLibrary;
    g_ops.resolve = ops.resolve ? ops.resolve : NoEntry;
    g_ops.release = ops.release ? ops.release : NoRelease;
}
QtLibraryOps GetQtLibraryOps() { return g_ops; }

QtErr QTBind(uint32_t flags) {
    if (g_qt.count >= 1) {
        ++g_qt.count;
        return kQtNoErr;
    }
    g_qt.library = g_ops.load();
    if (!g_qt.library)
        return kQtCannotLoad;
    if (!TakeEntryPoints()) {
        FreeLibraryHandle();
        PutErrorEntries();
        return kQtMissingEntry;
    }
    g_qt.resolver = nullptr;
    if (const QtErr err = InitializeQTML(flags); err != kQtNoErr) {
        FreeLibraryHandle();
        PutErrorEntries();
        return err;
    }
    g_qt.count = 1;
    return kQtNoErr;
}

void QTRelease() {
    if (--g_qt.count >= 1)
        return;
    g_qt.count = 0;  // a release too many does not leave the count owing
    if (!g_qt.library)
        return;
    TerminateQTML();
    PutErrorEntries();
    FreeLibraryHandle();
}

int QTBindCount() { return g_qt.count; }
bool IsQTBound() { return g_qt.count >= 1 && g_qt.library; }

intptr_t QtCall(uint32_t selector, std::initializer_list<QtWord> args) {
    if (g_qt.resolver)
        g_qt.resolver();
    std::array<QtWord, 16> words{};
    std::size_t n = 0;
    for (QtWord w : args)
        if (n < words.size())
            words[n++] = w;
    return g_qt.dispatcher(selector, words.data());
}

QtErr InitializeQTML(uint32_t flags) { return static_cast<QtErr>(QtCall(kQtSelInitializeQTML, {flags})); }
void TerminateQTML() { QtCall(kQtSelTerminateQTML, {}); }
QtErr Gestalt(uint32_t selector, int32_t* response) {
    return static_cast<QtErr>(QtCall(kQtSelGestalt, {selector, reinterpret_cast<QtWord>(response)}));
}
QtErr EnterMovies() { return static_cast<QtErr>(QtCall(kQtSelEnterMovies, {})); }
void ExitMovies() { QtCall(kQtSelExitMovies, {}); }

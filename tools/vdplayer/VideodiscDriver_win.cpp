// A simulated videodisc player behind the MCI "videodisc" device: it answers every message the
// plug-in sends, moves its frame at the play speed and logs each command it receives.
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// winmm exports it; the toolchain declares it in no header.
extern "C" UINT WINAPI mciLoadCommandResource(HINSTANCE module, LPCWSTR name, UINT type);

constexpr UINT kKeylock = 0x0901, kIndex = 0x0902;
constexpr DWORD kOn = 0x100, kOff = 0x200;
constexpr DWORD kDeviceId = 0x5644;

HINSTANCE g_module = nullptr;
UINT g_table = MCI_NO_COMMAND_TABLE;

struct Player {
    DWORD mode = MCI_MODE_STOP;
    DWORD timeFormat = MCI_FORMAT_FRAMES;
    long position = 0;  // frames; CLV discs count 30 frames a second
    long target = 0;
    long speed = 30;
    bool reverse = false;
    DWORD startTick = 0;
    long startPosition = 0;
};
Player g;

std::string Setting() {
    char value[32] = {};
    GetEnvironmentVariableA("LOOM_VIDEODISC", value, sizeof value);
    return value[0] ? value : "cav";
}
bool Ready() { return Setting() != "notready"; }
bool DiscPresent() { return Setting() != "nodisc"; }
bool Clv() { return Setting() == "clv"; }

void Log(const char* format, ...) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("LOOM_VIDEODISC_LOG", path, sizeof path))
        return;
    if (FILE* f = std::fopen(path, "a")) {
        va_list args;
        va_start(args, format);
        std::vfprintf(f, format, args);
        va_end(args);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

// The frame now, the play having moved on since it started.
void Advance() {
    if (g.mode != MCI_MODE_PLAY)
        return;
    const long moved = static_cast<long>((GetTickCount() - g.startTick) * static_cast<unsigned long>(g.speed) / 1000);
    g.position = g.reverse ? g.startPosition - moved : g.startPosition + moved;
    if ((!g.reverse && g.position >= g.target) || (g.reverse && g.position <= g.target)) {
        g.position = g.target;
        g.mode = MCI_MODE_PAUSE;
    }
}

long FromTime(DWORD value) {
    if (g.timeFormat == MCI_FORMAT_HMS)
        return ((value & 0xFF) * 3600 + (value >> 8 & 0xFF) * 60 + (value >> 16 & 0xFF)) * 30;
    if (g.timeFormat == MCI_VD_FORMAT_TRACK)
        return static_cast<long>(value > 0 ? (value - 1) * 1000 : 0);
    return static_cast<long>(value);
}

DWORD ToTime(long frames) {
    if (g.timeFormat == MCI_FORMAT_HMS) {
        const long s = frames / 30;
        return static_cast<DWORD>((s / 3600) | (s / 60 % 60) << 8 | (s % 60) << 16);
    }
    if (g.timeFormat == MCI_VD_FORMAT_TRACK)
        return static_cast<DWORD>(frames / 1000 + 1);
    return static_cast<DWORD>(frames);
}

const char* OnOff(DWORD flags) { return flags & MCI_SET_ON ? "on" : flags & MCI_SET_OFF ? "off" : "?"; }

DWORD Status(DWORD flags, MCI_STATUS_PARMS* p) {
    if (!(flags & MCI_STATUS_ITEM))
        return MCIERR_MISSING_PARAMETER;
    Advance();
    switch (p->dwItem) {
    case MCI_STATUS_READY: p->dwReturn = Ready(); break;
    case MCI_STATUS_MODE: p->dwReturn = !Ready() ? MCI_MODE_NOT_READY : g.mode; break;
    case MCI_STATUS_MEDIA_PRESENT: p->dwReturn = DiscPresent(); break;
    case MCI_VD_STATUS_MEDIA_TYPE: p->dwReturn = Clv() ? MCI_VD_MEDIA_CLV : MCI_VD_MEDIA_CAV; break;
    case MCI_STATUS_POSITION: p->dwReturn = ToTime(g.position); break;
    case MCI_STATUS_CURRENT_TRACK: p->dwReturn = static_cast<DWORD>(g.position / 1000 + 1); break;
    case MCI_STATUS_TIME_FORMAT: p->dwReturn = g.timeFormat; break;
    case MCI_VD_STATUS_SPEED: p->dwReturn = static_cast<DWORD>(g.speed); break;
    case MCI_VD_STATUS_FORWARD: p->dwReturn = !g.reverse; break;
    default: p->dwReturn = 0; break;
    }
    Log("status %lu = %lu", p->dwItem, static_cast<unsigned long>(p->dwReturn));
    return 0;
}

DWORD Set(DWORD flags, MCI_SET_PARMS* p) {
    if (flags & MCI_SET_TIME_FORMAT) {
        if (p->dwTimeFormat == MCI_FORMAT_HMS && !Clv())
            return MCIERR_BAD_TIME_FORMAT;
        g.timeFormat = p->dwTimeFormat;
        Log("set time format %s", p->dwTimeFormat == MCI_FORMAT_HMS     ? "hms"
                                  : p->dwTimeFormat == MCI_VD_FORMAT_TRACK ? "track"
                                                                           : "frames");
    }
    if (flags & MCI_SET_DOOR_OPEN) {
        g.mode = MCI_MODE_OPEN;
        Log("eject");
    }
    if (flags & MCI_SET_AUDIO)
        Log("set audio %s %s", p->dwAudio == MCI_SET_AUDIO_ALL ? "all" : p->dwAudio == MCI_SET_AUDIO_LEFT ? "left" : "right",
            OnOff(flags));
    if (flags & MCI_SET_VIDEO)
        Log("set video %s", OnOff(flags));
    return 0;
}

DWORD Play(DWORD flags, MCI_VD_PLAY_PARMS* p) {
    Advance();
    if (!DiscPresent() || !Ready())
        return MCIERR_DEVICE_NOT_READY;
    g.reverse = flags & MCI_VD_PLAY_REVERSE;
    g.speed = flags & MCI_VD_PLAY_SPEED ? static_cast<long>(p->dwSpeed) : 30;
    g.target = flags & MCI_TO ? FromTime(p->dwTo) : (g.reverse ? 0 : 0x7FFFFFFF);
    g.startTick = GetTickCount();
    g.startPosition = g.position;
    g.mode = MCI_MODE_PLAY;
    if (flags & MCI_TO)
        Log("play to %lu speed %ld%s", p->dwTo, g.speed, g.reverse ? " reverse" : "");
    else
        Log("play speed %ld%s", g.speed, g.reverse ? " reverse" : "");
    return 0;
}

DWORD Command(UINT message, DWORD flags, DWORD_PTR parms) {
    const bool needsParms = message == MCI_STATUS || message == MCI_SET || message == MCI_SEEK || message == MCI_PLAY ||
                            message == MCI_STEP || message == MCI_GETDEVCAPS || message == MCI_INFO;
    if (needsParms && !parms) {
        Log("message %u without parameters", message);
        return MCIERR_NULL_PARAMETER_BLOCK;
    }
    switch (message) {
    case MCI_OPEN_DRIVER: Log("open"); return 0;
    case MCI_CLOSE_DRIVER: Log("close"); return 0;
    case MCI_STATUS: return Status(flags, reinterpret_cast<MCI_STATUS_PARMS*>(parms));
    case MCI_SET: return Set(flags, reinterpret_cast<MCI_SET_PARMS*>(parms));
    case MCI_SEEK: {
        auto* p = reinterpret_cast<MCI_SEEK_PARMS*>(parms);
        if (!DiscPresent())
            return MCIERR_DEVICE_NOT_READY;
        g.position = flags & MCI_SEEK_TO_START ? 0 : FromTime(p->dwTo);
        g.mode = MCI_MODE_PAUSE;
        Log("seek %lu", p->dwTo);
        return 0;
    }
    case MCI_PLAY: return Play(flags, reinterpret_cast<MCI_VD_PLAY_PARMS*>(parms));
    case MCI_PAUSE:
    case MCI_STOP:
        Advance();
        g.mode = message == MCI_PAUSE ? MCI_MODE_PAUSE : MCI_MODE_STOP;
        Log(message == MCI_PAUSE ? "pause" : "stop");
        return 0;
    case MCI_SPIN:
        if (g.mode == MCI_MODE_OPEN || g.mode == MCI_MODE_STOP)
            g.mode = MCI_MODE_PAUSE;
        Log("spin %s", flags & MCI_VD_SPIN_DOWN ? "down" : "up");
        return 0;
    case MCI_STEP: {
        const bool back = flags & MCI_VD_STEP_REVERSE;
        g.position += back ? -1 : 1;
        g.mode = MCI_MODE_PAUSE;
        Log("step%s", back ? " reverse" : "");
        return 0;
    }
    case kKeylock: Log("keylock %s", flags & kOff ? "off" : flags & kOn ? "on" : "?"); return 0;
    case kIndex: Log("index %s", flags & kOff ? "off" : flags & kOn ? "on" : "?"); return 0;
    case MCI_GETDEVCAPS: {
        auto* p = reinterpret_cast<MCI_GETDEVCAPS_PARMS*>(parms);
        p->dwReturn = p->dwItem == MCI_GETDEVCAPS_DEVICE_TYPE ? MCI_DEVTYPE_VIDEODISC : TRUE;
        return 0;
    }
    case MCI_INFO: {
        auto* p = reinterpret_cast<MCI_INFO_PARMSW*>(parms);
        if (p->lpstrReturn && p->dwRetSize)
            lstrcpynW(p->lpstrReturn, L"Pageloom test videodisc player", static_cast<int>(p->dwRetSize));
        return 0;
    }
    default:
        Log("message %u flags %lu", message, flags);
        return 0;
    }
}

}  // namespace

extern "C" LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR, UINT message, LPARAM p1, LPARAM p2) {
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE: return 1;
    case DRV_QUERYCONFIGURE: return 0;
    case DRV_OPEN: {
        auto* open = reinterpret_cast<MCI_OPEN_DRIVER_PARMS*>(p2);
        if (!open)
            return 1;
        // Each open loads the table afresh: the system drops it when the device closes.
        g_table = mciLoadCommandResource(g_module, L"VDCOMMANDS", 0);
        open->wCustomCommandTable = g_table;
        open->wType = MCI_DEVTYPE_VIDEODISC;
        g = Player{};
        return kDeviceId;
    }
    case DRV_CLOSE: return 1;
    default:
        if (message >= DRV_MCI_FIRST && message <= DRV_MCI_LAST && id == kDeviceId)
            return Command(message, static_cast<DWORD>(p1), static_cast<DWORD_PTR>(p2));
        return DefDriverProc(id, nullptr, message, p1, p2);
    }
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        // Kept for the process: the system keeps our command table (and may call back) after
        // the last device closes and the driver would be unloaded.
        HMODULE pinned = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCSTR>(&DllMain), &pinned);
    }
    return TRUE;
}

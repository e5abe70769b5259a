#include "command_line.h"

#include "kinetra_version.h"

#include <QtGlobal>


#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kinetra {

namespace {

constexpr const char* kHelp =
    "Usage: kinetra [--version] [--help] [Qt options such as -platform offscreen]\n"
    "\n"
    "Kinetra, the service tool for positioning drives on a serial line (9600 baud, 8N1).\n"
    "Start it from a desktop session and press the connect button: it searches COM1 to COM10\n"
    "for a drive, reads its parameters and shows them live.\n"
    "\n"
    "Settings:     ~/.config/kinetra/kinetra.ini (section [Ports], COMn = a device path,\n"
    "              points a COM number at a device)\n"
    "Wire trace:   KINETRA_TRACE=1 writes every frame to ~/.local/share/kinetra/wire-trace.log\n"
    "See also:     kinetra-cli(1) for scripted commissioning, kinetra-drive-sim(1) for a\n"
    "              simulated drive on a pseudo-terminal.\n";

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Whether Qt will find a screen: a platform named on the command line or in QT_QPA_PLATFORM,
// or an X11 or Wayland session. Elsewhere than on Linux and the BSDs there always is one.
bool displayAvailable(int argc, char* argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "-platform" || std::string_view(argv[i]) == "--platform")
            return true;
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
#else
    (void)argc;
    (void)argv;
    return true;
#endif
}

} // namespace

std::optional<int> answerWithoutWindow(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            std::printf("kinetra %s\n", KINETRA_VERSION);
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    if (!displayAvailable(argc, argv)) {
        std::fputs("kinetra: the tool needs a display (an X11 or Wayland session), and none was found.\n"
                   "Start it from a desktop session, or set DISPLAY. kinetra-cli works without one.\n",
                   stderr);
        return 1;
    }
    return std::nullopt;
}

} // namespace kinetra

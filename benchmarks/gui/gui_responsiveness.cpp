// How the main window holds up while a tool floods the log: a child prints
// 100,000 status lines a second for ten seconds while a 10 ms timer measures
// how late the window's event loop serves it. Run under Xvfb (gui_bench.sh).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app/qt_main_thread.h"
#include "exec/command_gui2console.h"
#include "main_window/main_window.h"
#include "services/services.h"
#include "settings/language.h"

namespace {

constexpr int LinesPerSecond = 100000;
constexpr int Seconds = 10;
constexpr int TicksPerSecond = 100;

int Flood() {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    int line = 0;
    for (int tick = 0; tick < Seconds * TicksPerSecond; ++tick) {
        for (int i = 0; i < LinesPerSecond / TicksPerSecond; ++i)
            std::printf("<log level=\"information\">line %d of the flood</log>\n", ++line);
        std::fflush(stdout);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(10 * (tick + 1)));
    }
    return 0;
}

class TFloodCommand final : public TCommandGui2Console {
public:
    TFloodCommand(TCommandOutputEvent output, std::string self)
        : TCommandGui2Console(Setup(std::move(output))), Self(std::move(self)) {}
    void BeforeStart(bool& proceed) override { proceed = true; }
    void GetExecutable(std::string& path) override { path = Self; }
    void GetParameters(std::string& arguments) override { arguments = "--flood"; }
    void GetWorkingFolder(std::string& folder) override { folder = "/tmp"; }
    void OnSuccess() override {}
    void OnFailure() override {}
    void OnCancel() override {}
    void FilterLine(std::string&) override {}

private:
    std::string Self;
    static TCommandSetup Setup(TCommandOutputEvent output) {
        TCommandSetup setup;
        setup.OnOutput = std::move(output);
        setup.Title = "flood";
        setup.Param = std::make_shared<TCommandParam>();
        return setup;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--flood") == 0) return Flood();
    QApplication app(argc, argv);
    TQtMainThread thread;
    TSilentDialogs dialogs;
    TServicesScope scope(&thread, &dialogs);
    ActivateLanguage(false);
    TFrameAvailability tools;
    tools.VcdImagerToolsFound = true;
    TMainWindow window(tools);
    window.Startup();
    window.show();
    window.ShowPage(PageLog);

    long long lines = 0;
    long long worstDelayMs = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { worstDelayMs = std::max(worstDelayMs, sinceTick.restart() - 10); });
    QElapsedTimer run;
    QTimer::singleShot(500, [&] {
        const TCommandOutputEvent route = window.LineHandler();
        window.RunSingleCommand(std::make_unique<TFloodCommand>(
                                    [&lines, route](TCommandInterface& sender, const std::string& line) {
                                        ++lines;
                                        route(sender, line);
                                    },
                                    QCoreApplication::applicationFilePath().toStdString()),
                                true);
        run.start();
        sinceTick.start();
        ticker.start(10);
    });
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (run.isValid() && !window.Manager().IsRunning()) QApplication::quit();
    });
    watcher.start(100);
    QApplication::exec();
    std::printf("lines routed: %lld in %.1f s\nlargest delay of the 10 ms timer: %lld ms\nrows in the log view: %zu\n",
                lines, static_cast<double>(run.elapsed()) / 1000.0, worstDelayMs, window.Log().Lines().size());
    return 0;
}

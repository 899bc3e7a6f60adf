#include "app/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/qt_dialogs.h"
#include "app/qt_main_thread.h"
#include "app/qt_sound_player.h"
#include "app/single_instance.h"
#include "dialogs/dlg_settings.h"
#include "environment/detected_tools.h"
#include "environment/tools_detection.h"
#include "lib/product.h"
#include "main_window/main_window.h"
#include "settings/language.h"
#include "settings/startup_keys.h"

namespace {

struct TStartOptions {
    QStringList Files;
    QString Screenshot;             // grab the window into this PNG after the first paint, then quit
    int Page = 0;                   // the page shown in the picture
    QString SettingsTopic;          // picture the settings dialog on this page instead
    bool ReportFirstPaint = false;  // print the milliseconds to the first paint, then quit
};

void DescribeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QString(ProductName) + " - Video CD and Super Video CD authoring");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("files", "A project file (.dsv) to open, or MPEG files to add.", "[FILE...]");
    QCommandLineOption screenshot("screenshot", "Save a picture of the main window and quit.", "png");
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshot);
    QCommandLineOption page("page", "The page shown in the picture.", "id", "0");
    page.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(page);
    QCommandLineOption topic("settings-topic", "Picture the settings dialog on this page.", "page");
    topic.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(topic);
    QCommandLineOption firstPaint("report-first-paint", "Print the time to the first paint and quit.");
    firstPaint.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(firstPaint);
}

// --help and --version answer without a display.
bool AnswersWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}

TStartOptions ParseOptions(QCommandLineParser& parser, const QStringList& arguments) {
    DescribeOptions(parser);
    parser.process(arguments);
    TStartOptions options;
    for (const QString& file : parser.positionalArguments()) options.Files << QDir::current().absoluteFilePath(file);
    options.Screenshot = parser.value("screenshot");
    options.ReportFirstPaint = parser.isSet("report-first-paint");
    options.Page = parser.value("page").toInt();
    options.SettingsTopic = parser.value("settings-topic");
    return options;
}

TFrameAvailability AvailabilityOf(const TDetectedTools& tools) {
    TFrameAvailability availability;
    availability.VcdImagerToolsFound = tools.VcdImagerAvailable;
    availability.CdrdaoVersionCode = tools.CdrdaoVersionCode;
    availability.MjpegToolsVersionCode = tools.MjpegToolsVersionCode;
    availability.MjpegToolsAvailable = tools.MjpegToolsAvailable;
    return availability;
}

}  // namespace

int RunLumora(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QCoreApplication::setApplicationName("lumora");
    QCoreApplication::setApplicationVersion(ProductVersion);
    if (AnswersWithoutWindow(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        ParseOptions(parser, QCoreApplication::arguments());  // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(ProductName);
    QApplication::setDesktopFileName("lumora");
    QApplication::setWindowIcon(QIcon(":/icons/lumora.svg"));
    QCommandLineParser parser;
    const TStartOptions options = ParseOptions(parser, QCoreApplication::arguments());

    // A second start hands its files over before doing anything that shows.
    TSingleInstance instance;
    if (!instance.Claim(options.Files)) return 0;

    TQtMainThread mainThread;
    TQtDialogs dialogs;
    TQtSoundPlayer sounds;
    TServicesScope services(&mainThread, &dialogs, &sounds);

    ActivateStartupLanguage(TStartupKeysReader().Read().Language);
    if (!DetectTools(ReadDetectionOptions())) return 1;

    TMainWindow window(AvailabilityOf(DetectedTools()));
    QObject::connect(&instance, &TSingleInstance::FilesReceived, &window, &TMainWindow::FilesReceived);
    window.Startup();
    QObject::connect(&window, &TMainWindow::FirstPaint, &window, [&] {
        // Nothing that opens or moves windows runs inside the paint itself.
        if (!options.Files.isEmpty()) QTimer::singleShot(0, &window, [&] { window.FilesReceived(options.Files); });
        if (options.ReportFirstPaint) {
            std::printf("first paint after %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            QTimer::singleShot(0, &window, &QWidget::close);
        }
        if (!options.Screenshot.isEmpty())
            QTimer::singleShot(0, &window, [&] {
                window.ShowPage(options.Page);
                if (!options.SettingsTopic.isEmpty()) {
                    // The dialog runs its own loop; the picture is taken from inside it.
                    QTimer::singleShot(500, &window, [&] {
                        window.SettingsDialog().grab().save(options.Screenshot, "PNG");
                        window.SettingsDialog().accept();
                        QTimer::singleShot(0, &window, &QWidget::close);
                    });
                    window.ShowSettingsDialog(options.SettingsTopic);
                    return;
                }
                // Lets the layout settle and the log take its lines before the picture.
                QTimer::singleShot(500, &window, [&] {
                    window.grab().save(options.Screenshot, "PNG");
                    window.close();
                });
            });
    });
    window.show();
    return QApplication::exec();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CommandLine.h"

#include "shell/Commands.h"
#include "shell/Desktop.h"
#include "shell/Launcher.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <memory>

namespace CommandLine {

namespace {

enum class Needs {
    core,
    gui,     // painting text or decoding images through the toolkit's platform plugin
    windows, // shows a window: needs a display
};

struct Command
{
    const char *name;
    const char *synopsis;
    std::function<int(const QStringList &)> run;
    Needs needs;
    // An option that turns the command into one that shows a window.
    const char *windowOption = nullptr;
};

const QList<Command> &commands()
{
    static const QList<Command> table = {
        {"config", "config [KEY [VALUE] | --reset KEY]   show or change settings", Commands::config, Needs::core},
        {"detect", "detect [--types LIST | --all]        find personal information in text on standard input", Commands::detect, Needs::core},
        {"scan", "scan [--types LIST | --all] [--text] IMAGE...   scan screenshots", Commands::scan, Needs::gui},
        {"search", "search [--app NAME] [--tag NAME] [--json] QUERY   search the library", Commands::search, Needs::core},
        {"import", "import [--app NAME] [--all-images] PATH...   file existing screenshots into the library", Commands::import, Needs::gui},
        {"tag", "tag FILE [NAME... | --add NAME | --remove NAME] | tag --dialog FILE   show or change a file's tags",
         Commands::tag, Needs::core, "--dialog"},
        {"redact", "redact IMAGE [--style blur|black] [--types LIST | --all] [-o OUTPUT]   write a redacted copy", Commands::redact, Needs::gui},
        {"annotate", "annotate IMAGE                       open an image in the annotation editor", Commands::annotate, Needs::windows},
        {"preferences", "preferences                          open the preferences window", Commands::preferences, Needs::windows},
        {"library", "library [QUERY]                      open the library window, searching for QUERY", Commands::library, Needs::windows},
    };
    return table;
}

void printHelp(FILE *out)
{
    QString text = QStringLiteral(
        "Usage: pictrove [COMMAND [ARGUMENTS]]\n\n"
        "Without a command Pictrove runs as a tray application; without a display it files\n"
        "screenshots headless.\n\nCommands:\n");
    for (const Command &c : commands()) {
        text += QStringLiteral("  %1\n").arg(QString::fromUtf8(c.synopsis));
    }
    text += QStringLiteral("  help                                 show this help\n"
                           "  --version                            show the version\n");
    std::fputs(text.toUtf8().constData(), out);
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Pictrove"));
    QCoreApplication::setApplicationName(QStringLiteral("Pictrove"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PICTROVE_VERSION));

    if (args.isEmpty()) {
        return Launcher::run(argc, argv);
    }
    const QString name = args.first();
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        printHelp(stdout);
        return 0;
    }
    if (name == QLatin1String("--version") || name == QLatin1String("version")) {
        std::printf("pictrove %s\n", PICTROVE_VERSION);
        return 0;
    }
    // "Open With Pictrove" from a file manager passes the image alone: open it in the editor.
    if (args.size() == 1 && QFileInfo(name).isFile()) {
        args.prepend(QStringLiteral("annotate"));
    }
    for (const Command &c : commands()) {
        if (args.first() == QLatin1String(c.name)) {
            std::unique_ptr<QCoreApplication> app;
            const Needs needs = c.windowOption && args.contains(QLatin1String(c.windowOption)) ? Needs::windows : c.needs;
            switch (needs) {
            case Needs::core:
                app = std::make_unique<QCoreApplication>(argc, argv);
                break;
            case Needs::gui:
                // These commands never show a window; the offscreen platform needs no display.
                if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
                    qputenv("QT_QPA_PLATFORM", "offscreen");
                }
                app = std::make_unique<QGuiApplication>(argc, argv);
                break;
            case Needs::windows:
                if (!Desktop::haveDisplay()) {
                    std::fprintf(stderr, "pictrove: %s%s%s needs a display (DISPLAY or WAYLAND_DISPLAY)\n", c.name,
                                 needs != c.needs ? " " : "", needs != c.needs ? c.windowOption : "");
                    return 1;
                }
                Desktop::choosePlatform();
                app = std::make_unique<QApplication>(argc, argv);
                break;
            }
            return c.run(args.mid(1));
        }
    }
    std::fprintf(stderr, "pictrove: unknown command \"%s\"\n\n", name.toLocal8Bit().constData());
    printHelp(stderr);
    return 2;
}

} // namespace CommandLine

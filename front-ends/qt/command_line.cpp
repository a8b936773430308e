#include "front-ends/qt/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace tb {

std::optional<int> handleCommandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCoreApplication::setApplicationName(QStringLiteral("Tollbrook"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOLLBROOK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Rings a school's bells: plays each scheduled music file at its time of day, every day."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the program's version."));
    parser.addOption(help);
    parser.addOption(version);
    const auto fail = [&](const QString& why) {
        std::fprintf(stderr, "tollbrook: %s\nTry 'tollbrook --help' for more information.\n", qPrintable(why));
        return 2;
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know the program's name.
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tollbrook"))),
                   stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("Tollbrook %s\n", TOLLBROOK_VERSION);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail(QStringLiteral("unexpected argument '%1': the program takes no file or other argument")
                        .arg(parser.positionalArguments().front()));
    }
    return std::nullopt;
}

}  // namespace tb

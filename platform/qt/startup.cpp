#include "startup.h"

#include "version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace platform {

StartOptions readCommandLine(int argc, char *argv[], const ProgramInfo &program)
{
    StartOptions options;
    // A core application only: it needs no display.
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(program.name));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(program.description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption runBatch(QStringLiteral("run-batch"), QString(), QStringLiteral("FILE"));
    runBatch.setFlags(QCommandLineOption::HiddenFromHelp);
    if (program.runsBatches)
        parser.addOption(runBatch);
    if (program.positional)
        parser.addPositionalArgument(QString::fromLatin1(program.positional), QString::fromUtf8(program.positionalHelp),
                                     QStringLiteral("[%1]").arg(QString::fromLatin1(program.positional)));
    const auto fail = [&](const QString &why) {
        std::fprintf(stderr, "%s: %s\n", program.name, qPrintable(why));
        options.exitNow = 2;
        return options;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        options.exitNow = 0;
        return options;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", program.name, VESK_VERSION);
        options.exitNow = 0;
        return options;
    }
    options.files = parser.positionalArguments();
    if (options.files.size() > (program.positional ? 1 : 0))
        return fail(QStringLiteral("unexpected argument: %1").arg(options.files.last()));
    if (program.runsBatches)
        options.runBatch = parser.value(runBatch);
    return options;
}

} // namespace platform

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include "app/program.h"
#include "base/contentpath.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace app {

namespace {

// QApplication's own options, taken here so that they still reach it; not in the help.
const char* const QtOptionsWithValue[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "style",           "stylesheet",         "display",       "name",
    "geometry",        "qmljsdebugger"};
const char* const QtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Показать эту справку и выйти.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Показать версию и выйти.")};
    QCommandLineOption content{QStringLiteral("content"),
                               QStringLiteral("Читать тексты и картинки из этой папки, а не "
                                              "из рабочей."),
                               QStringLiteral("папка")};

    explicit Options(QCommandLineParser& parser) {
        // Qt's options start with one dash: "-style fusion".
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(QStringLiteral(
            "Пёсограф — справочник о породах собак и их содержании.\n"
            "\n"
            "Тексты (text/) и картинки (dog/, Graph/) читаются из рабочей папки,\n"
            "звуки (Sound/) — из папки программы. Установленную программу запускает\n"
            "команда psograf: она сама переходит в папку содержимого."));
        parser.addOptions({help, version, content});
        for (const char* name : QtOptionsWithValue) {
            QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
        for (const char* name : QtFlags) {
            QCommandLineOption option{QLatin1String(name)};
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }
};

void printLine(FILE* stream, const QString& text) {
    std::fputs(qPrintable(text), stream);
    std::fputc('\n', stream);
}

} // namespace

CommandLine readCommandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    {
        QCommandLineParser parser;
        const Options options(parser);
        if (parser.parse(arguments) && !parser.isSet(options.help) &&
            !parser.isSet(options.version) && parser.positionalArguments().isEmpty())
            return {std::nullopt, parser.value(options.content)};
    }

    // Answered on the terminal. Qt's own texts ("Использование", "Параметры") need an
    // application for their translation, but no window; the help names the command.
    char command[] = "psograf";
    char* commandLine[] = {command, nullptr};
    int count = 1;
    QCoreApplication application(count, commandLine);
    installQtTranslations();
    QCommandLineParser parser;
    const Options options(parser);
    const bool parsed = parser.parse(arguments);
    const QString seeHelp = QStringLiteral(" Список параметров: psograf --help");
    if (!parsed) {
        printLine(stderr, QStringLiteral("psograf: ") + parser.errorText() + seeHelp);
        return {2, {}};
    }
    if (parser.isSet(options.help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return {0, {}};
    }
    if (parser.isSet(options.version)) {
        printLine(stdout, QStringLiteral("Пёсограф " PSOGRAF_VERSION));
        return {0, {}};
    }
    printLine(stderr, QStringLiteral("psograf: лишний аргумент «%1».")
                              .arg(parser.positionalArguments().constFirst()) +
                          seeHelp);
    return {2, {}};
}

std::optional<base::RuntimeFailure> enterContentFolder(const QString& folder) {
    if (folder.isEmpty()) return std::nullopt;
    const QFileInfo info(folder);
    if (!info.isDir())
        return base::RuntimeFailure{
            base::ErrPathNotFound,
            QStringLiteral("Папка содержимого не найдена: %1").arg(info.absoluteFilePath())};
    if (!info.isReadable() || !info.isExecutable() || !QDir::setCurrent(folder))
        return base::RuntimeFailure{
            base::ErrPathAccess,
            QStringLiteral("Нет доступа к папке содержимого: %1").arg(info.absoluteFilePath())};
    return std::nullopt;
}

} // namespace app

#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <array>

namespace {

// Options QGuiApplication takes out of argv itself (-platform offscreen, -style fusion, ...). They
// are known here only so that they are not refused; the application object acts on them.
constexpr std::array QtValueOptions{
    "platform",        "platformpluginpath", "platformtheme", "plugin", "display",    "geometry",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "style",  "stylesheet", "session"};
constexpr std::array QtFlagOptions{"reverse", "widgetcount", "nograb", "dograb", "sync"};

// What --help-all adds to --help; Qt offers its own list only through showHelp(), which exits.
QString QtOptionsHelp() {
  QString text = QStringLiteral("\nQt options, read by the toolkit (see QGuiApplication):\n");
  for (const char* name : QtValueOptions)
    text += QStringLiteral("  -%1 <value>\n").arg(QString::fromLatin1(name));
  for (const char* name : QtFlagOptions)
    text += QStringLiteral("  -%1\n").arg(QString::fromLatin1(name));
  return text;
}

void AddQtOptions(QCommandLineParser& parser) {
  for (const char* name : QtValueOptions) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : QtFlagOptions) {
    QCommandLineOption option(QString::fromLatin1(name));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
}

} // namespace

TStartRequest ReadCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Shows the tag structure of TIFF files: header, image file directories and "
      "every tag entry,\npage by page. For scripts and batch runs use lodestar-cli."));
  // Qt's own options come with one dash (-platform); read them as words, not as letter groups.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("FILE"),
                               QStringLiteral("The TIFF file to open at start."),
                               QStringLiteral("[FILE]"));
  AddQtOptions(parser);

  TStartRequest request;
  if (!parser.parse(arguments)) {
    request.Action = TStartRequest::UsageError;
    request.Output = QStringLiteral("lodestar: error: ") + parser.errorText() +
                     QStringLiteral("\nRun with --help for more information.\n");
  } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
    request.Action = TStartRequest::Help;
    request.Output = parser.helpText();
    if (parser.isSet(QStringLiteral("help-all")))
      request.Output += QtOptionsHelp();
  } else if (parser.isSet(version)) {
    request.Action = TStartRequest::Version;
    request.Output =
        QStringLiteral("lodestar ") + QCoreApplication::applicationVersion() + QLatin1Char('\n');
  } else if (!parser.positionalArguments().isEmpty()) {
    // Further arguments are ignored, as they always were.
    request.File = parser.positionalArguments().first();
  }
  return request;
}

QString NoDisplayMessage(const QStringList& arguments, const QProcessEnvironment& environment) {
  for (const QString& argument : arguments)
    if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform"))
      return {};
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    if (!environment.value(QString::fromLatin1(name)).isEmpty())
      return {};
  return QStringLiteral("lodestar: cannot open a window: no display (neither DISPLAY nor "
                        "WAYLAND_DISPLAY is set); lodestar-cli info FILE lists a file without "
                        "one\n");
}

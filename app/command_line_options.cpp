#include "app/command_line_options.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace lumio {

namespace {

// Qt's own options that QApplication reads and removes itself; those listed with a
// value take the next argument as theirs.
struct QtOption {
  const char* name;
  bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},
    {"display", true},         {"geometry", true},
    {"style", true},           {"stylesheet", true},
    {"reverse", false},        {"widgetcount", false},
};

// A usage error prints the usage line and the hint after the error; --help prints the
// usage line and the rest.
struct Texts {
  const char* usage;
  const char* helpHint;
  const char* help;
};

constexpr Texts kEnglish{
    "Usage: lumio [OPTION]... [FILE|FOLDER]...\n", "Try 'lumio --help' for more information.\n",
    "Encode audio files to Ogg Vorbis in batches with the encoder oggenc (Debian package\n"
    "vorbis-tools): WAVE, FLAC and AIFF as they are; MP3, M4A, Opus, WavPack and other\n"
    "formats through the decoder ffmpeg.\n"
    "\n"
    "Arguments:\n"
    "  FILE|FOLDER    audio files, or folders holding them, to put in the list at start;\n"
    "                 when Lumio is running already, they go to its window instead\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "Qt's own options, such as -platform and -style, are accepted too.\n"
    "\n"
    "Without a window (no display needed; the report goes to standard output):\n"
    "  lumio --batch [OPTION]... FILE|FOLDER...\n"
    "  --output DIR            write the outputs to DIR, made when missing\n"
    "                          (--same-folder: beside each input)\n"
    "  --keep-tree             keep the folders' tree below the output folder\n"
    "  --names PATTERN         name each output from its tags: %t title, %a artist,\n"
    "                          %b album, %d date, %n track, %f source name; '/' makes\n"
    "                          folders (\"%a/%b/%n %t\"; not with --keep-tree)\n"
    "  --existing ask|skip-newer|overwrite\n"
    "                          outputs that exist: refuse (exit 3), skip those at least as\n"
    "                          new as their source, or overwrite them\n"
    "  --jobs N                encoders at once, 1 to 16\n"
    "  --quality Q             quality 0.0 to 10.0, or --bitrate MIN,NOM,MAX (kbps)\n"
    "  --priority idle|normal|high|realtime\n"
    "  --settings FILE         another settings file (never written)\n"
    "  --report FILE           the report to FILE; --json as JSON; --quiet: errors only\n"
    "  --replaygain none|track|album, --verify, --no-carry-tags, --no-pictures\n"
    "  --stop-on-failure       end the batch at the first failed job (by default the\n"
    "                          others still run)\n"
    "  --copy-lossy [vorbis|all|none]\n"
    "                          in a kept tree, copy Ogg Vorbis (all: every lossy) sources\n"
    "  --prune                 in a kept tree, remove the outputs Lumio made whose source\n"
    "                          has gone (listed in DIR/.lumio-mirror)\n"
    "  --dry-run               encode, copy and remove nothing; report what would be done\n"
    "  --format vorbis|opus    Ogg Vorbis (oggenc) or Ogg Opus (opusenc, opus-tools)\n"
    "  --opus-bitrate N        6 to 256 kbps, and --opus-mode vbr|cvbr|cbr, for Opus\n"
    "Exit status: 0 all done or skipped, 1 a job failed, 2 usage, 3 refused, 130 interrupted.\n"
    "\n"
    "Settings are kept in $XDG_CONFIG_HOME/lumio/lumio.ini (normally\n"
    "~/.config/lumio/lumio.ini), or in lumio.ini beside the program when that file exists.\n"
    "The windows need a display; without one Lumio says so and ends with status 1\n"
    "(--batch needs none).\n"
    "More in the manual page: man lumio\n"};

constexpr Texts kJapanese{
    "使い方: lumio [オプション]... [ファイル|フォルダ]...\n",
    "詳しくは 'lumio --help' を実行してください。\n",
    "音声ファイルを、エンコーダ oggenc (Debian のパッケージ vorbis-tools) でまとめて\n"
    "Ogg Vorbis に変換します。WAVE・FLAC・AIFF はそのまま、MP3・M4A・Opus・WavPack\n"
    "などはデコーダ ffmpeg を通して変換します。\n"
    "\n"
    "引数:\n"
    "  ファイル|フォルダ  起動時に一覧に入れる音声ファイル、またはそれを含むフォルダ。\n"
    "                     Lumio がすでに動いているときは、その画面に追加します\n"
    "\n"
    "オプション:\n"
    "  -h, --help     このヘルプを表示して終了します\n"
    "  -v, --version  バージョンを表示して終了します\n"
    "-platform や -style など Qt のオプションも使えます。\n"
    "\n"
    "ウィンドウなしで変換 (ディスプレイ不要。報告は標準出力へ):\n"
    "  lumio --batch [オプション]... ファイル|フォルダ...\n"
    "  --output DIR            出力先フォルダ。無ければ作ります\n"
    "                          (--same-folder: 入力ファイルと同じ場所)\n"
    "  --keep-tree             フォルダ構成を保つ\n"
    "  --names PATTERN         タグから出力ファイル名を作る: %t タイトル %a アーティスト\n"
    "                          %b アルバム %d 日付 %n トラック番号 %f 元のファイル名。\n"
    "                          / でフォルダを作ります (例 \"%a/%b/%n %t\")。\n"
    "                          / のあるパターンは --keep-tree と併用できません\n"
    "  --existing ask|skip-newer|overwrite\n"
    "                          出力ファイルが既にあるとき: 中止 (終了コード 3)、\n"
    "                          出力の方が新しければスキップ、上書き\n"
    "  --jobs N                同時実行数 (1〜16)\n"
    "  --quality Q             品質 0.0〜10.0、または --bitrate MIN,NOM,MAX (kbps)\n"
    "  --priority idle|normal|high|realtime\n"
    "  --settings FILE         別の設定ファイル (書き込みません)\n"
    "  --report FILE           報告をファイルへ。--json で JSON。--quiet でエラーのみ\n"
    "  --replaygain none|track|album, --verify, --no-carry-tags, --no-pictures\n"
    "  --stop-on-failure       最初の失敗で終える (指定しなければ残りのファイルも変換)\n"
    "  --copy-lossy [vorbis|all|none]\n"
    "                          フォルダ構成を保つとき、Ogg Vorbis (all: 非可逆形式すべて)\n"
    "                          の入力は変換せずにコピー\n"
    "  --prune                 フォルダ構成を保つとき、入力がなくなった出力 (Lumio が\n"
    "                          作り DIR/.lumio-mirror に記録したもの) を削除\n"
    "  --dry-run               変換・コピー・削除をせず、することを報告\n"
    "  --format vorbis|opus    Ogg Vorbis (oggenc) か Ogg Opus (opusenc、opus-tools)\n"
    "  --opus-bitrate N        Opus の 6〜256 kbps と --opus-mode vbr|cvbr|cbr\n"
    "終了コード: 0 すべて完了かスキップ、1 失敗あり、2 使い方の誤り、3 開始前に中止、\n"
    "130 割り込み (SIGINT/SIGTERM)。\n"
    "\n"
    "設定は $XDG_CONFIG_HOME/lumio/lumio.ini (通常は ~/.config/lumio/lumio.ini) に\n"
    "保存されます。Lumio 本体と同じフォルダに lumio.ini があるときは、そちらを使います。\n"
    "ウィンドウにはディスプレイが必要です。無いときは、そのことを表示して終了コード 1 で\n"
    "終了します (--batch には不要です)。\n"
    "詳しくはマニュアルページを参照してください: man lumio\n"};

// The unknown option `name` with the dashes it was given with: "-hv" stays "-hv" and
// "--x" stays "--x", whatever the number of letters.
std::string OptionAsGiven(const std::vector<std::string>& arguments, const std::string& name) {
  for (const std::string& argument : arguments) {
    if (argument == "--") {
      break;
    }
    const std::size_t dashes = argument.find_first_not_of('-');
    if (dashes == 1 || dashes == 2) {
      const std::string_view rest = std::string_view(argument).substr(dashes);
      if (rest.substr(0, rest.find('=')) == name) {
        return argument.substr(0, dashes) + name;
      }
    }
  }
  return (name.size() == 1 ? "-" : "--") + name;
}

std::string ErrorLine(const QCommandLineParser& parser, const std::vector<std::string>& arguments,
                      bool japanese) {
  const QStringList unknown = parser.unknownOptionNames();
  if (unknown.isEmpty()) {
    // A value missing after an option, or given to one that takes none.
    const std::string detail = parser.errorText().toLatin1().toStdString();
    return japanese ? "lumio: 引数が正しくありません (" + detail + ")\n"
                    : "lumio: " + detail + "\n";
  }
  const std::string option = OptionAsGiven(arguments, unknown.first().toLatin1().toStdString());
  return japanese ? "lumio: 知らないオプションです: " + option + "\n"
                  : "lumio: unknown option " + option + "\n";
}

const char* EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

CommandLineOutcome ParseCommandLine(const std::vector<std::string>& arguments, bool japanese) {
  QCommandLineParser parser;
  // Qt's options are single-dash words (-platform xcb), so a single dash never bundles
  // letters; -h and --help, -v and --version are then both understood.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  for (const QtOption& qtOption : kQtOptions) {
    parser.addOption(QCommandLineOption(QString::fromLatin1(qtOption.name), QString(),
                                        qtOption.takesValue ? QStringLiteral("value") : QString()));
  }

  // Each byte becomes one character, so option names read as they are and every path
  // turns back into exactly its own bytes, UTF-8 or not.
  QStringList texts;
  for (const std::string& argument : arguments) {
    texts.append(QString::fromLatin1(argument));
  }
  const Texts& language = japanese ? kJapanese : kEnglish;
  if (!parser.parse(texts)) {
    return {CommandLineAction::RefuseAndExit,
            ErrorLine(parser, arguments, japanese) + language.usage + language.helpHint,
            {}};
  }
  if (parser.isSet(help)) {
    return {CommandLineAction::PrintAndExit, std::string(language.usage) + language.help, {}};
  }
  if (parser.isSet(version)) {
    return {CommandLineAction::PrintAndExit, "Lumio " LUMIO_VERSION "\n", {}};
  }
  std::vector<std::string> paths;
  for (const QString& path : parser.positionalArguments()) {
    paths.push_back(path.toLatin1().toStdString());
  }
  return {CommandLineAction::Run, {}, paths};
}

bool IsJapaneseLocale(std::string_view lcAll, std::string_view lcMessages, std::string_view lang) {
  for (const std::string_view value : {lcAll, lcMessages, lang}) {
    if (!value.empty()) {
      return value == "ja" || value.starts_with("ja_") || value.starts_with("ja.");
    }
  }
  return false;
}

bool IsJapaneseLocaleInEnvironment() {
  return IsJapaneseLocale(EnvironmentValue("LC_ALL"), EnvironmentValue("LC_MESSAGES"),
                          EnvironmentValue("LANG"));
}

int PrintCommandLineOutcome(const CommandLineOutcome& outcome) {
  const bool refused = outcome.action == CommandLineAction::RefuseAndExit;
  std::fputs(outcome.text.c_str(), refused ? stderr : stdout);
  return refused ? 2 : 0;
}

}  // namespace lumio

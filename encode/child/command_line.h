#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/output_format.h"
#include "core/settings_store.h"
#include "encode/finish/replaygain_fields.h"
#include "platform/code_page.h"
#include "platform/path_rules.h"

namespace lumio {

// Bit rates in kbps behind the setup window's bit-rate items 1 to 12 (item 0 means no
// setting): item i maps to BitrateTable[i - 1].
inline constexpr std::array<int, 12> BitrateTable{64,  80,  96,  112, 128, 160,
                                                  192, 224, 256, 288, 320, 352};

// Where the encoder executable is: oggenc, or opusenc when Options/OutputFormat is Ogg
// Opus. For oggenc with Options/SetEncoderPlace the stored Options/EncoderPlace is taken
// exactly as it is (even empty). Otherwise, Windows style: "oggenc.exe" in
// `programFolder`; POSIX style: "oggenc" in `programFolder` when that file exists, else
// the first "oggenc" on $PATH, else "oggenc" in `programFolder` (so the batch then
// reports the encoder as missing); opusenc likewise. Existence of the result is not
// checked.
std::string ResolveEncoderPath(const SettingsStore& settings, const std::string& programFolder,
                               const PathRules& rules);

// The encoding options from the EncodeOption section: empty, or up to three options each
// beginning with one space (" -M 352 -b 352 -m 352", " -q 4.5"). Out-of-range values
// leave their option out. For Ogg Opus, opusenc's options instead (OpusOptionText).
std::string BuildOptionText(const SettingsStore& settings);

// `text` made safe for placing between two double quotes of a command line that is cut
// into arguments by the Windows C runtime rules: a double quote becomes \" and a run of
// backslashes directly before a double quote or before the end of the text (where the
// closing quote follows) is doubled. Everything else is unchanged. The quote is searched
// for by whole characters, so a 0x5C trail byte of a Shift-JIS character is no backslash.
// A quote right after a stray Shift-JIS lead byte becomes "" instead, since a backslash
// there would pair with the lead byte.
std::string EscapeQuotes(std::string_view text, CodePage codePage);

// The encoder's whole command line for one job: the quoted encoder path, the option
// text, the non-empty tags as -t -a -l -d -N -c"comment=...", the output name as -o and
// the input path; the tags, the output name and the input path are quoted and escaped
// with EscapeQuotes. The comment's CR LF line breaks are passed as line feeds. A FLAC
// input (by its extension) adds --discard-comments after the option text, so that the
// encoder does not copy the file's own comments as well.
std::string BuildCommandLine(const std::string& encoderPath, const std::string& optionText,
                             const std::string& title, const std::string& artist,
                             const std::string& album, const std::string& date,
                             const std::string& trackNumber, const std::string& comment,
                             const std::string& outputFileName, const std::string& inputPath,
                             CodePage codePage);

// The longest tag argument (option and text) the encoder is given. Linux takes at most
// 131 072 bytes in one argument; with this bound the six tags together stay far below
// the limit of a whole command line as well.
inline constexpr std::size_t kLongestTagArgument = 100000;

// The encoder's argument vector for one job, built from the same pieces as
// BuildCommandLine: `encoderPath` as the program, then the arguments that the text
// splits into by the Windows rules, none of them quoted or escaped. A tag whose argument
// would be longer than kLongestTagArgument is left out; TagsTooLongForArguments gives
// it, to be written into the output after encoding. For Ogg Opus the same pieces as
// opusenc takes them: its options, --discard-comments --discard-pictures, each tag as
// its long option and its text, then the input and the output.
std::vector<std::string> BuildEncoderArguments(
    const std::string& encoderPath, const std::string& optionText, const std::string& title,
    const std::string& artist, const std::string& album, const std::string& date,
    const std::string& trackNumber, const std::string& comment, const std::string& outputFileName,
    const std::string& inputPath, CodePage codePage, OutputFormat format = OutputFormat::Vorbis);

// The names of the fields oggenc makes of the tags, in the order it writes them.
inline const std::vector<std::string_view> kEncoderFieldOrder{"comment", "title", "artist",
                                                              "date",    "album", "tracknumber"};
// opusenc writes them in the order of its arguments.
inline const std::vector<std::string_view> kOpusencFieldOrder{"title", "artist",      "album",
                                                              "date",  "tracknumber", "comment"};

// The tags BuildEncoderArguments leaves out for their length, as the comment fields the
// encoder would have made of them (the comment with line feeds), in command-line order.
std::vector<CommentField> TagsTooLongForArguments(const std::string& title,
                                                  const std::string& artist,
                                                  const std::string& album, const std::string& date,
                                                  const std::string& trackNumber,
                                                  const std::string& comment);

}  // namespace lumio

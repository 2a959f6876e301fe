#include <gtest/gtest.h>
#include <signal.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/flacpicture.h>
#include <taglib/opusfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>
#include <unistd.h>

#include <QProcess>
#include <QSignalSpy>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <variant>

#include "core/embedded_pictures.h"
#include "core/file_data_list.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/child/decoder_lookup.h"
#include "encode/child/decoder_output_reader.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"
#include "encode/run/clock.h"
#include "platform/file_system.h"
#include "support/add_sources.h"
#include "support/current_folder_guard.h"
#include "support/decoded_sources.h"
#include "support/fake_encoder.h"
#include "support/output_tags.h"
#include "support/scoped_environment.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

// The children of this process that are still there, reaped or not.
std::vector<std::string> OurChildren() {
  std::vector<std::string> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    std::getline(stat, text);
    // "pid (name) state ppid …": the name may hold blanks, so the fields after its ')'.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (rest >> state >> parent && parent == ::getpid()) {
      children.push_back(text.substr(0, close + 1));
    }
  }
  return children;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// The length of an Ogg Vorbis file in milliseconds, as ffprobe reads it.
double LengthMs(const std::string& path) {
  QProcess probe;
  probe.start("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0",
                          QString::fromStdString(path)});
  EXPECT_TRUE(probe.waitForFinished(30000));
  return probe.readAllStandardOutput().trimmed().toDouble() * 1000;
}

std::string VorbisTitle(const std::string& path) {
  for (const test::OggComment& comment : test::ReadOggComments(path)) {
    if (test::UpperCase(comment.name) == "TITLE") return comment.value;
  }
  return {};
}

class DecodedBatchTest : public ::testing::Test {
 public:
  void SetUp() override {
    ffmpeg_ = FindOnSearchPath("ffmpeg");
    oggenc_ = FindOnSearchPath("oggenc");
    if (ffmpeg_.empty() || oggenc_.empty()) GTEST_SKIP() << "ffmpeg or oggenc is not installed";
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    UseEncoder(oggenc_);
  }

  void UseEncoder(const std::string& encoder) {
    settings_.WriteBool("Options", "SetEncoderPlace", true);
    settings_.WriteString("Options", "EncoderPlace", encoder);
  }

  // Makes root/<name> in `format`, `seconds` long, and adds its job.
  void AddSource(const std::string& name, const test::DecodedFormat& format, double seconds) {
    const std::string path = root_ + name;
    ASSERT_TRUE(test::MakeDecodedSource(path, format, seconds));
    ASSERT_TRUE(test::AddSource(jobs_, path, settings_, root_ + "out/"));
  }

  std::variant<BatchPlan, BatchRefusal> Prepare() {
    return PrepareBatch(jobs_, settings_, root_, NativePathRules());
  }

  // Runs the batch; `whileRunning` is called at the first progress a decoder reports.
  std::vector<JobOutcome> Run(int parallel, std::vector<double>* lastFractions = nullptr,
                              const std::function<void(BatchRun&)>& atFirstProgress = {}) {
    auto checked = Prepare();
    EXPECT_TRUE(std::holds_alternative<BatchPlan>(checked));
    if (!std::holds_alternative<BatchPlan>(checked)) return {};
    BatchRun run(std::get<BatchPlan>(std::move(checked)), BuildOptionText(settings_),
                 {.parallel = parallel}, clock_, nullptr);
    if (lastFractions != nullptr) lastFractions->assign(jobs_.Count(), -1);
    bool first = true;
    QObject::connect(&run, &BatchRun::JobProgress, [&](std::size_t job, int, double fraction) {
      if (lastFractions != nullptr) (*lastFractions)[job] = fraction;
      if (first && atFirstProgress) atFirstProgress(run);
      first = false;
    });
    QSignalSpy finished(&run, &BatchRun::Finished);
    run.Start();
    EXPECT_TRUE(finished.wait(120000));
    if (finished.isEmpty()) return {};
    return finished.front().at(0).value<std::vector<JobOutcome>>();
  }

  test::CurrentFolderGuard folderGuard_;
  test::ScopedEnvironment environment_;
  const test::TemporaryFolder dir_;
  const std::string root_ = dir_.Path() + "/";
  SettingsStore settings_{"/nonexistent/lumio-settings.ini"};
  FileDataList jobs_;
  MonotonicClock clock_;
  std::string ffmpeg_;
  std::string oggenc_;
};

const test::DecodedFormat& Mp3() { return test::DecodedFormats().front(); }

TEST_F(DecodedBatchTest, EveryFormatIsDecodedIntoTheEncoderWithItsTagsLengthAndProgress) {
  // Every real file meets the check of its length against its container's and the
  // decoder's word.
  WriteVerifyOutputs(settings_, true);
  int number = 0;
  for (const test::DecodedFormat& format : test::DecodedFormats()) {
    AddSource("song" + std::to_string(number++) + "." + format.extension, format, 3);
  }
  std::vector<double> lastFractions;
  const std::vector<JobOutcome> outcomes = Run(2, &lastFractions);
  ASSERT_EQ(outcomes.size(), test::DecodedFormats().size());
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const test::DecodedFormat& format = test::DecodedFormats()[i];
    SCOPED_TRACE(std::string(format.extension) + " " + format.codec[1]);
    EXPECT_TRUE(outcomes[i].succeeded) << outcomes[i].reason;
    ASSERT_TRUE(FileExists(outcomes[i].outputPath));
    // Every sample through the pipe, give or take the codec's own padding.
    EXPECT_NEAR(LengthMs(outcomes[i].outputPath), 3000, 60);
    if (format.tagged) {
      EXPECT_EQ(VorbisTitle(outcomes[i].outputPath), test::kFixtureTitle);
    }
    // Progress comes from the decoder's position over the play time.
    EXPECT_GT(lastFractions[i], 0.9);
    EXPECT_LE(lastFractions[i], 1.0);
  }
  EXPECT_EQ(FilesIn(root_ + "out").size(), outcomes.size());  // nothing hidden left
}

TEST_F(DecodedBatchTest, ASourceAndAFolderNamedInNoUtf8AreDecodedAndWrittenUnderTheirBytes) {
  const std::string folder = root_ + "\x8f\x4f\x95\xd4\x83\x5c b\xe9n/";  // Shift-JIS, Latin-1
  ASSERT_TRUE(CreateFolder(folder));
  const std::string source = root_ + "lat\xe9in \x89\xb9\x8a\x79.mp3";
  ASSERT_TRUE(test::MakeDecodedSource(source, Mp3(), 1));
  ASSERT_TRUE(test::AddSource(jobs_, source, settings_, folder));
  const std::vector<JobOutcome> outcomes = Run(1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_TRUE(outcomes[0].succeeded) << outcomes[0].reason;
  EXPECT_EQ(outcomes[0].outputPath, folder + "lat\xe9in \x89\xb9\x8a\x79.ogg");
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"lat\xe9in \x89\xb9\x8a\x79.ogg"});
  EXPECT_EQ(VorbisTitle(outcomes[0].outputPath), test::kFixtureTitle);
}

TEST_F(DecodedBatchTest, CancelWhileDecoderAndEncoderRunLeavesNoProcessAndNoFile) {
  AddSource("long.mp3", Mp3(), 120);
  std::vector<std::string> running;
  const std::vector<JobOutcome> outcomes = Run(1, nullptr, [&](BatchRun& run) {
    running = OurChildren();
    run.Cancel();
  });
  ASSERT_EQ(running.size(), 2u);  // the decoder and the encoder
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_FALSE(outcomes[0].succeeded);
  EXPECT_TRUE(OurChildren().empty()) << OurChildren().front();
  EXPECT_TRUE(FilesIn(root_ + "out").empty()) << FilesIn(root_ + "out").front();
}

TEST_F(DecodedBatchTest, EitherProcessFailingFailsTheJobWithTheCausesLastLine) {
  // A source spoiled after it was added: the decoder fails, the encoder would have made
  // a file of nothing.
  AddSource("spoiled.mp3", Mp3(), 2);
  std::ofstream(root_ + "spoiled.mp3", std::ios::binary | std::ios::trunc)
      << std::string(20000, '\x55');
  std::vector<JobOutcome> outcomes = Run(1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_FALSE(outcomes[0].succeeded);
  // The decoder's own line, not the encoder's complaint about an empty input.
  EXPECT_EQ(outcomes[0].reason.rfind("file:" + root_ + "spoiled.mp3: ", 0), 0u)
      << outcomes[0].reason;
  EXPECT_TRUE(FilesIn(root_ + "out").empty());

  // A decoder killed halfway: the encoder sees the end of its input and would keep a
  // short file as if all were well.
  jobs_.Clear();
  AddSource("killed.mp3", Mp3(), 120);
  outcomes = Run(1, nullptr, [](BatchRun&) {
    for (const std::string& child : OurChildren()) {
      if (child.find("(ffmpeg)") != std::string::npos) ::kill(std::stoi(child), SIGKILL);
    }
  });
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_FALSE(outcomes[0].succeeded);
  EXPECT_EQ(outcomes[0].reason, "デコーダが強制終了されました");
  EXPECT_TRUE(FilesIn(root_ + "out").empty());

  // An encoder that fails at once: the decoder then loses its reader, which is no reason.
  jobs_.Clear();
  AddSource("long.mp3", Mp3(), 60);
  UseEncoder(test::kFakeEncoder);
  environment_.Set("LUMIO_FAKE_SAY", "ERROR: the encoder gave up");
  environment_.Set("LUMIO_FAKE_EXIT", "3");
  environment_.Set("LUMIO_FAKE_NO_OUTPUT", "1");
  outcomes = Run(1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_FALSE(outcomes[0].succeeded);
  EXPECT_NE(outcomes[0].reason.find("ERROR: the encoder gave up"), std::string::npos)
      << outcomes[0].reason;
  EXPECT_TRUE(OurChildren().empty());
}

TEST_F(DecodedBatchTest, ADecoderThatStopsEarlyOrNeverRunsFailsTheJobAsItIs) {
  // Stand-ins for the decoder that run the real one with "-t 1.7" before the output
  // (the last argument), then exit 0; the liar then reports all 20 s written.
  const std::string cutShort =
      "#!/bin/sh\nn=$#; i=0\nfor a; do i=$((i+1)); [ $i -eq $n ] && set -- \"$@\" -t 1.7; "
      "set -- \"$@\" \"$a\"; done\nshift $n\n'" +
      ffmpeg_ + "' \"$@\" || exit\n";
  const struct {
    const char* what;
    std::string script;
    std::string reason;
    bool ran;
  } rows[] = {
      {"stops early", cutShort, "出力の長さが入力と一致しません (出力 0:01.700 / 入力 0:20.", true},
      {"stops early and claims all",
       cutShort + "printf 'out_time_us=20000000\\nprogress=end\\n' >&2\n",
       "出力の長さが入力と一致しません (出力 0:01.700 / 入力 0:20.", true},
      // Its encoder started, but had nothing to encode: no times to report.
      {"cannot start", "#!/nonexistent/interpreter\n", "デコーダを起動できません: ", false},
  };
  AddSource("song.mp3", Mp3(), 20);
  WriteVerifyOutputs(settings_, true);
  const std::string folder = root_ + "decoder/";
  ASSERT_TRUE(CreateFolder(folder));
  environment_.Set("PATH", folder);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(test::WriteFile(folder + "ffmpeg", row.script));
    std::filesystem::permissions(folder + "ffmpeg", std::filesystem::perms::owner_all);
    const std::vector<JobOutcome> outcomes = Run(1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_FALSE(outcomes[0].succeeded);
    EXPECT_EQ(outcomes[0].reason.substr(0, row.reason.size()), row.reason) << outcomes[0].reason;
    EXPECT_EQ(outcomes[0].ran, row.ran);
    EXPECT_TRUE(FilesIn(root_ + "out").empty());
  }
}

TEST_F(DecodedBatchTest, MissingDecoderRefusesTheBatchButNotOneOfFilesTheEncoderReads) {
  AddSource("song.mp3", Mp3(), 1);
  environment_.Set("PATH", root_ + "out");  // an empty folder
  const auto refused = Prepare();
  ASSERT_TRUE(std::holds_alternative<BatchRefusal>(refused));
  EXPECT_EQ(std::get<BatchRefusal>(refused).message,
            DecoderMissingMessage() + "\n\n" + root_ + "song.mp3");

  // Beside the program it is found whatever $PATH holds.
  std::filesystem::create_symlink(ffmpeg_, root_ + "ffmpeg");
  const auto found = Prepare();
  ASSERT_TRUE(std::holds_alternative<BatchPlan>(found));
  EXPECT_EQ(std::get<BatchPlan>(found).decoderPath, root_ + "ffmpeg");

  // WAVE never needs it.
  std::filesystem::remove(root_ + "ffmpeg");
  jobs_.Clear();
  ASSERT_TRUE(test::WriteToneWave(root_ + "plain.wav", 0.1));
  ASSERT_TRUE(test::AddSource(jobs_, root_ + "plain.wav", settings_, root_ + "out/"));
  const auto plain = Prepare();
  ASSERT_TRUE(std::holds_alternative<BatchPlan>(plain));
  EXPECT_EQ(std::get<BatchPlan>(plain).decoderPath, "");
}

TEST_F(DecodedBatchTest, OggSourceIsEncodedAgainButNeverOverItself) {
  const test::DecodedFormat& ogg = *std::find_if(
      test::DecodedFormats().begin(), test::DecodedFormats().end(),
      [](const test::DecodedFormat& format) { return std::string(format.extension) == "ogg"; });
  AddSource("song.ogg", ogg, 1);
  const std::vector<JobOutcome> outcomes = Run(1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_TRUE(outcomes[0].succeeded) << outcomes[0].reason;

  // Beside its source the output would be the source itself.
  jobs_.Clear();
  ASSERT_TRUE(test::AddSource(jobs_, root_ + "song.ogg", settings_, root_));
  const auto refused = Prepare();
  ASSERT_TRUE(std::holds_alternative<BatchRefusal>(refused));
  EXPECT_EQ(std::get<BatchRefusal>(refused).message,
            "出力ファイルが入力ファイルと同じです\n\n" + root_ + "song.ogg");
}

TEST_F(DecodedBatchTest, DsdSourceReachesTheEncoderAtARateItTakes) {
  ASSERT_TRUE(test::WriteSilentDsf(root_ + "disc.dsf", 1));
  ASSERT_TRUE(test::AddSource(jobs_, root_ + "disc.dsf", settings_, root_ + "out/"));
  const std::vector<JobOutcome> outcomes = Run(1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_TRUE(outcomes[0].succeeded) << outcomes[0].reason;
  EXPECT_NEAR(LengthMs(outcomes[0].outputPath), 1000, 60);
}

// The sample format of the WAVE whose head `bytes` holds: "pcm16", "pcm24", "float32"…
std::string WaveSampleFormat(const std::string& bytes) {
  const std::size_t format = bytes.find("fmt ");
  if (format == std::string::npos || bytes.size() < format + 8 + 26) return "no fmt chunk";
  const auto u16 = [&](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
  };
  const std::size_t body = format + 8;
  unsigned tag = u16(body);
  if (tag == 0xFFFE) tag = u16(body + 24);  // the extensible header's subformat
  return (tag == 3   ? "float"
          : tag == 1 ? "pcm"
                     : "tag" + std::to_string(tag)) +
         std::to_string(u16(body + 14));
}

TEST_F(DecodedBatchTest, DeepSourcesReachTheEncoderAtTheirOwnDepth) {
  const struct {
    test::DecodedFormat format;
    const char* pipe;  // the WAVE the encoder reads
  } rows[] = {
      {{"mp3", {"-c:a", "libmp3lame"}, 44100, 16, true}, "pcm16"},
      {{"wv", {"-c:a", "wavpack", "-sample_fmt", "s16p"}, 44100, 16, true}, "pcm16"},
      {{"m4a", {"-c:a", "alac", "-sample_fmt", "s32p"}, 44100, 24, true}, "pcm24"},
      {{"wv", {"-c:a", "wavpack", "-sample_fmt", "fltp"}, 44100, 32, true}, "float32"},
      // TagLib cannot read Matroska: its depth comes from the probe.
      {{"mka", {"-c:a", "flac", "-sample_fmt", "s32"}, 96000, 24, true}, "pcm24"},
  };
  UseEncoder(test::kFakeEncoder);
  const std::string kept = root_ + "pipe.wav";
  environment_.Set("LUMIO_FAKE_KEEP_INPUT", kept);
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.format.extension) + " " + row.format.codec.back());
    jobs_.Clear();
    AddSource(std::string("deep.") + row.format.extension, row.format, 0.5);
    const std::vector<JobOutcome> outcomes = Run(1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(WaveSampleFormat(test::ReadFile(kept)), row.pipe);
    std::filesystem::remove(kept);
  }
}

// Sources whose tags hold pictures in each format's own way, each in a folder of its own
// that also holds a cover image.
class DecodedPicturesTest : public DecodedBatchTest {
 public:
  void SetUp() override {
    DecodedBatchTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(test::RunTool({"ffmpeg", "-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                               "testsrc=size=32x24", "-frames:v", "1", root_ + "cover.png"}));
    ASSERT_TRUE(test::RunTool({"ffmpeg", "-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                               "testsrc=size=16x16", "-frames:v", "1", root_ + "cover.jpg"}));
    png_ = test::ReadFile(root_ + "cover.png");
    jpeg_ = test::ReadFile(root_ + "cover.jpg");
    ASSERT_FALSE(png_.empty());
    ASSERT_FALSE(jpeg_.empty());
  }

  // root/<stem>/<stem>.<extension> as ffmpeg makes it from a tone, with cover.png as its
  // attached picture when `options` name one; a cover.jpg lies beside it.
  std::string MakeSource(const std::string& stem, const std::string& extension,
                         const std::vector<std::string>& options, bool attached) {
    const std::string folder = root_ + stem + "/";
    EXPECT_TRUE(CreateFolder(folder));
    std::filesystem::copy_file(root_ + "cover.jpg", folder + "Cover.JPG");
    std::vector<std::string> command{"ffmpeg", "-nostdin", "-loglevel", "error",
                                     "-f",     "lavfi",    "-i",        "sine=duration=1"};
    if (attached) {
      command.insert(command.end(), {"-i", root_ + "cover.png", "-map", "0", "-map", "1", "-c:v",
                                     "copy", "-disposition:v", "attached_pic"});
    }
    command.insert(command.end(), options.begin(), options.end());
    command.push_back(folder + stem + "." + extension);
    EXPECT_TRUE(test::RunTool(command));
    return folder + stem + "." + extension;
  }

  std::string png_;
  std::string jpeg_;
};

TagLib::ByteVector Bytes(const std::string& text) {
  return TagLib::ByteVector(text.data(), static_cast<unsigned>(text.size()));
}

TEST_F(DecodedPicturesTest, EveryFormatsPicturesReachTheOutputByteForByte) {
  const std::string wavPack = MakeSource("wavpack", "wv", {"-c:a", "wavpack"}, false);
  {
    TagLib::WavPack::File file(wavPack.c_str(), false);
    file.APETag(true)->setData("Cover Art (Back)", Bytes(std::string("back.png") + '\0' + png_));
    file.APETag()->setData("Cover Art (Front)", Bytes(std::string("front.jpg") + '\0' + jpeg_));
    ASSERT_TRUE(file.save());
  }
  const std::string wma = MakeSource("wma", "wma", {"-c:a", "wmav2"}, false);
  {
    TagLib::ASF::File file(wma.c_str(), false);
    TagLib::ASF::Picture picture;
    picture.setType(TagLib::ASF::Picture::Media);
    picture.setMimeType("image/jpeg");
    picture.setDescription(TagLib::String("盤面", TagLib::String::UTF8));
    picture.setPicture(Bytes(jpeg_));
    file.tag()->addAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
    ASSERT_TRUE(file.save());
  }
  const std::string opus = MakeSource("opus", "opus", {"-c:a", "libopus"}, false);
  {
    TagLib::Ogg::Opus::File file(opus.c_str(), false);
    auto* picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::Artist);
    picture->setMimeType("image/png");
    picture->setDescription(TagLib::String("表紙", TagLib::String::UTF8));
    picture->setData(Bytes(png_));
    file.tag()->addPicture(picture);
    ASSERT_TRUE(file.save());
  }
  const struct {
    std::string path;
    std::vector<test::Picture> pictures;
  } rows[] = {
      {MakeSource("mp3", "mp3",
                  {"-c:a", "libmp3lame", "-metadata:s:v", "title=ジャケット", "-metadata:s:v",
                   "comment=Cover (back)"},
                  true),
       {{4, "image/png", "ジャケット", png_}}},
      {MakeSource("m4a", "m4a", {"-c:a", "aac"}, true), {{3, "image/png", "", png_}}},
      {wma, {{6, "image/jpeg", "盤面", jpeg_}}},
      // Items in the APE tag's order, which is by name; the image format told by its bytes.
      {wavPack, {{4, "image/png", "back.png", png_}, {3, "image/jpeg", "front.jpg", jpeg_}}},
      {opus, {{8, "image/png", "表紙", png_}}},
      // No picture of its own: the folder's cover image stands in, as for any source.
      {MakeSource("plain", "aac", {"-c:a", "aac"}, false), {{3, "image/jpeg", "", jpeg_}}},
  };
  for (const auto& row : rows)
    ASSERT_TRUE(test::AddSource(jobs_, row.path, settings_, root_ + "out/"));
  const std::vector<JobOutcome> outcomes = Run(2);
  ASSERT_EQ(outcomes.size(), std::size(rows));
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    SCOPED_TRACE(rows[i].path);
    const CarriedTags& carried = jobs_.Record(i).Carried;
    ASSERT_EQ(carried.Pictures.size(), rows[i].pictures.size());
    for (std::size_t p = 0; p < carried.Pictures.size(); ++p) {
      EXPECT_EQ(carried.Pictures[p].Size, rows[i].pictures[p].bytes.size());
      EXPECT_EQ(carried.Pictures[p].Mime, rows[i].pictures[p].mime);
    }
    // A picture item is carried, not listed as left out.
    for (const std::string& name : carried.LeftOut) EXPECT_FALSE(IsPictureItemName(name)) << name;
    EXPECT_TRUE(outcomes[i].succeeded) << outcomes[i].reason;
    EXPECT_EQ(test::ReadOutput(outcomes[i].outputPath).pictures, rows[i].pictures);
  }
}

TEST(DecoderOutputReader, PositionFromTheReportAndTheLastMessageAsTheReason) {
  const struct {
    std::vector<std::string> pieces;
    std::optional<std::int64_t> decodedMs;
    std::string lastMessage;
    std::optional<std::int64_t> writtenUs = std::nullopt;
  } rows[] = {
      {{"out_time_us=1500000\nprogress=continue\n"}, 1500, ""},
      // Split anywhere, in the report's own pieces.
      {{"out_ti", "me_us=2500", "123\nspeed=40.1x\n"}, 2500, ""},
      // Before the first sample the time is negative or unknown.
      {{"out_time_us=-23220\nout_time_us=N/A\n"}, std::nullopt, ""},
      {{"out_time_us=1000\n", "out_time_us=N/A\n"}, 1, ""},
      {{"file:x.mp3: Invalid data found when processing input\n", "progress=end\n"},
       std::nullopt,
       "file:x.mp3: Invalid data found when processing input",
       0},
      {{"[mp3 @ 0x1] Header missing\r", "Error closing file pipe:: Broken pipe"},
       std::nullopt,
       "Error closing file pipe:: Broken pipe"},
      // A message with '=' in it is still a message.
      {{"[aac @ 0x5] channel_layout=7 not supported\n"},
       std::nullopt,
       "[aac @ 0x5] channel_layout=7 not supported"},
      // The closing report tells all that was written, to the sample.
      {{"out_time_us=1000000\nprogress=continue\nout_time_us=1700022\npro", "gress=end"},
       1700,
       "",
       1700022},
      {{"out_time_us=1000000\nprogress=continue\n"}, 1000, "", std::nullopt},
  };
  for (const auto& row : rows) {
    DecoderOutputReader reader;
    for (const std::string& piece : row.pieces) reader.Feed(piece);
    reader.Finish();
    SCOPED_TRACE(row.pieces.front());
    EXPECT_EQ(reader.DecodedMs(), row.decodedMs);
    EXPECT_EQ(reader.LastMessageLine(), row.lastMessage);
    EXPECT_EQ(reader.WrittenUs(), row.writtenUs);
  }
}

}  // namespace
}  // namespace lumio

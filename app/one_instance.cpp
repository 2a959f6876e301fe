#include "app/one_instance.h"

#include <QFile>
#include <cstdio>

#include "app/command_line_options.h"

namespace lumio {

namespace {

std::string Reason(InstanceStartOutcome outcome, const InstancePlace& place, bool japanese) {
  switch (outcome) {
    case InstanceStartOutcome::TooMany:
      return japanese ? "lumio: 動いている Lumio に一度に渡せるパスは 100 000 個、合わせて 64 MB、"
                        "1 つ 4095 バイトまでです\n"
                      : "lumio: too many paths to hand to the running Lumio (100 000 at most, "
                        "64 MB in all, 4095 bytes each)\n";
    case InstanceStartOutcome::NoAnswer:
      return japanese ? "lumio: 同じ設定ファイルで動いている Lumio が応答しません\n"
                      : "lumio: the Lumio running with the same settings file does not answer\n";
    case InstanceStartOutcome::NoLock: {
      const std::string lock = QFile::encodeName(place.lock).toStdString();
      return japanese ? "lumio: ロックファイルを作れません: " + lock + "\n"
                      : "lumio: cannot make the lock file " + lock + "\n";
    }
    case InstanceStartOutcome::Owner:
    case InstanceStartOutcome::HandedOver:
      break;
  }
  return {};
}

}  // namespace

std::unique_ptr<InstanceServer> OwnSettingsOrHandOver(const std::string& settingsPath,
                                                      const std::vector<std::string>& paths,
                                                      int& exitStatus) {
  const InstancePlace place = InstancePlaceFor(settingsPath);
  InstanceStart start = TakeInstanceOrHandOver(place, paths);
  const std::string reason = Reason(start.outcome, place, IsJapaneseLocaleInEnvironment());
  std::fputs(reason.c_str(), stderr);
  exitStatus = reason.empty() ? 0 : 1;
  return std::move(start.server);
}

}  // namespace lumio

#include "ui/open_dialog_filters.h"

#include "core/audio_kind.h"

namespace lumio {

QString OpenDialogFilters() {
  const QString readByEncoder = QStringLiteral("*.wav *.flac *.aif *.aiff *.aifc");
  QString decoded;
  for (const std::string_view extension : kDecodedExtensions) {
    decoded += QStringLiteral(" *.") +
               QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size()));
  }
  // A CUE sheet adds the tracks of the image it names.
  return QStringLiteral("音声ファイル (") + readByEncoder + decoded + QStringLiteral(" *.cue") +
         QStringLiteral(");;WAVE・FLAC・AIFF (") + readByEncoder +
         QStringLiteral(
             ");;WAVEファイル (*.wav);;FLACファイル (*.flac);;"
             "AIFFファイル (*.aif *.aiff *.aifc)");
}

}  // namespace lumio

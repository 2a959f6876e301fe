#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace lumio {

std::unique_ptr<QTranslator> InstallQtJapaneseTranslation() {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator.get())) {
    return nullptr;
  }
  return translator;
}

}  // namespace lumio

#pragma once

#include <QTranslator>
#include <memory>

namespace lumio {

// Puts Qt's own texts (file dialogs, the text fields' context menus, standard buttons)
// into Japanese, whatever the user's locale, so that they match Lumio's own texts. The
// returned translator stays installed until it is destroyed; nullptr when Qt's Japanese
// translation is not installed, in which case Qt's texts stay in English.
std::unique_ptr<QTranslator> InstallQtJapaneseTranslation();

}  // namespace lumio

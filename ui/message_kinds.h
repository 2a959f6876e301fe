#pragma once

namespace lumio {

// Question asks before something is done that was not asked for outright.
enum class MessageKind { Warning, Error, Question };
// YesNo shows はい and いいえ, which answer as OK and キャンセル.
enum class MessageButtons { Ok, OkCancel, YesNo };
// OK is the only answer that any caller takes as yes.
enum class DialogAnswer { Ok = 1, Cancel = 2 };

}  // namespace lumio

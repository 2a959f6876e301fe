#pragma once

namespace lumio {

enum class MessageKind { Warning, Error };
// YesNo shows はい and いいえ, which answer as OK and キャンセル.
enum class MessageButtons { Ok, OkCancel, YesNo };
// The sound each caller passes; the values are those of the Windows beep types.
enum class MessageSound { Exclamation = 0x30, Stop = 0x10 };
// OK is the only answer that any caller takes as yes.
enum class DialogAnswer { Ok = 1, Cancel = 2 };

}  // namespace lumio

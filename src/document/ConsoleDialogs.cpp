#include "document/ConsoleDialogs.h"

#include <cstdio>

namespace bb {

int ConsoleDialogs::message(const QString& text, const QString& caption, MsgIcon, int buttons) {
    ++count_;
    const QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    if (buttons & BtnYes) return BtnYes;
    if (buttons & BtnOk) return BtnOk;
    if (buttons & BtnNo) return BtnNo;
    return BtnCancel;
}

}  // namespace bb

// The main window's envelopes: "Umschläge drucken..." for the rows of the card's address list.
#include "app/MainWindow.h"

#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "merge/MergeSession.h"
#include "print/CardEnvelopeMaker.h"
#include "print/ui/EnvelopeDialog.h"
#include "print/ui/PrintTab.h"
#include "render/Preview.h"

namespace bb {

void MainWindow::openEnvelopeDialog() {
    if (!merge_->hasList()) {
        // Envelopes are addressed from the list: it is chosen in "Serienkarten" first.
        dialogs_.message(QStringLiteral("Für Umschläge wird eine Adressliste gebraucht. Bitte "
                                        "wählen Sie zuerst die Adressliste der Karte."),
                         QStringLiteral("Umschläge drucken"), MsgIcon::Information, BtnOk);
        openMergeDialog();
        if (!merge_->hasList()) return;
    }
    if (!envelopeDialog_) {
        // A small picture of the card's outside, made when an envelope asks for it.
        envelopeMaker_ = std::make_shared<CardEnvelopeMaker>(
            [this] { return renderSide(*doc_, SideOutside, ctx_, kEnvelopePictureDpi); });
        envelopeDialog_ = new EnvelopeDialog(*envelopeMaker_, *merge_, print_->printerTarget(),
                                             settings_->settings(), dialogs_, this);
        envelopeDialog_->setRunModal([this](QDialog& d) { return editing_->modal(d); });
        connect(envelopeDialog_, &EnvelopeDialog::printerUsed, print_, &PrintTab::takeCardPaper);
    }
    envelopeMaker_->forgetPicture();
    envelopeDialog_->prepare();
    editing_->modal(*envelopeDialog_);
}

}  // namespace bb

// "Etiketten drucken..." in the window: its place in "Datei", the question for a list when the
// card has none (answered by the merge dialog), and the dialog over the card's list.
#include "AppTestSupport.h"

#include "merge/MergeSession.h"
#include "print/ui/LabelDialog.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

using namespace bb;
using bbtest::WindowTest;

namespace {

QString writeList(const bbtest::TempFolder& folder) {
    const QString path = folder.file(QStringLiteral("post.csv"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Vorname;Nachname;Ort\nRika;Fennhoff;Weidental\nBodo;Lauterbach;Seeheim\n");
    return path;
}

}  // namespace

TEST_F(WindowTest, LabelItemAsksForAListFirstThenShowsItsAddresses) {
    auto w = make();
    auto* item = w->findChild<QAction*>(QStringLiteral("EtikettenItem"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Et&iketten drucken..."));
    const QList<QAction*> datei =
        w->menuBar()->findChild<QMenu*>(QStringLiteral("Datei1"))->actions();
    EXPECT_EQ(datei.indexOf(item),
              datei.indexOf(w->findChild<QAction*>(QStringLiteral("SerienkartenItem"))) + 1);

    // No list: "No" ends it there.
    QStringList opened;
    w->editing().setRunModal([&](QDialog& d) {
        opened << d.objectName();
        return int(QDialog::Rejected);
    });
    dialogs.answers.push_back(BtnNo);
    item->trigger();
    EXPECT_TRUE(opened.isEmpty());

    // "Yes": the merge dialog chooses the list, then the labels show its rows.
    const QString list = writeList(folder);
    size_t labels = 0;
    w->editing().setRunModal([&](QDialog& d) {
        opened << d.objectName();
        if (d.objectName() == QStringLiteral("SerienkartenDlg")) {
            w->mergeSession().loadList(list);
            EXPECT_TRUE(bbtest::runUntil([&] { return !w->mergeSession().isLoading(); }));
        } else if (auto* dialog = qobject_cast<LabelDialog*>(&d)) {
            labels = dialog->job().labels.size();
            if (!labels) return int(QDialog::Rejected);
            EXPECT_EQ(dialog->job().labels[1].text.lines.value(0),
                      QStringLiteral("Bodo Lauterbach"));
        }
        return int(QDialog::Rejected);
    });
    dialogs.answers.push_back(BtnYes);
    item->trigger();
    EXPECT_EQ(opened,
              (QStringList{QStringLiteral("SerienkartenDlg"), QStringLiteral("LabelDialog")}));
    EXPECT_EQ(labels, 2u);

    // With the list there, the dialog opens at once.
    opened.clear();
    item->trigger();
    EXPECT_EQ(opened, QStringList{QStringLiteral("LabelDialog")});
}

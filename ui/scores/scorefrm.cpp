#include "ui/scores/scorefrm.h"

#include "data/ScoreDatabase.h"
#include "ui/Design.h"
#include "ui/scores/ScoreTable.h"

#include <QListView>
#include <QPushButton>
#include <QStringListModel>

namespace palinor {

namespace {

const QColor kLightOrange(255, 192, 128);
const QColor kPurple(128, 0, 128);

} // namespace

scorefrm::scorefrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("scorefrm"));
    // The spaces place the title near the middle of the title bar.
    setWindowTitle(QString(40, QLatin1Char(' ')) + QStringLiteral("Tableau des scores"));
    setFixedSize(design::toPixels({0, 0, 11340, 8490}).size());
    design::setGround(this, kLightOrange);

    // Under the list, never seen: it answers Enter as the default button.
    Command1_ = new QPushButton(QStringLiteral("OK"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setGeometry(design::toPixels({8760, 6360, 615, 495}));
    Command1_->setDefault(true);
    connect(Command1_, &QPushButton::clicked, this, &QDialog::accept);

    model_ = new QStringListModel(this);
    List2_ = new QListView(this);
    List2_->setObjectName(QStringLiteral("List2"));
    List2_->setGeometry(design::toPixels({360, 360, 10935, 8220}));
    List2_->setModel(model_);
    List2_->setUniformItemSizes(true);
    List2_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Asked through the program's registered stand-in, so that no search is made for a font the system lacks.
    QFont font(QFont::substitute(QString::fromLatin1(kFontFamily)));
    font.setPointSizeF(26.25);
    List2_->setFont(font);
    QPalette listPalette = List2_->palette();
    listPalette.setColor(QPalette::Base, kLightOrange);
    listPalette.setColor(QPalette::Text, kPurple);
    List2_->setPalette(listPalette);
    List2_->setAccessibleName(QStringLiteral("Classement des joueurs"));
    List2_->setFocus();
    setTabOrder(List2_, Command1_);
}

QStringList scorefrm::load(GameState& state, const QString& databasePath)
{
    ScoreDatabase db(databasePath);
    if (auto error = db.open()) {
        model_->setStringList({});
        return {error->message};
    }
    ScoreTableContents contents = loadScoreTable(db, state);
    model_->setStringList(contents.ranking);
    return contents.messages;
}

QStringList scorefrm::ranking() const
{
    return model_->stringList();
}

} // namespace palinor

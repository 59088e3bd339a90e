#include "ui/scores/scorefrm.h"

#include "data/ScoreDatabase.h"
#include "ui/Design.h"
#include "ui/messages/MessageBoxes.h"
#include "ui/scores/ScoreTable.h"
#include "ui/scores/ScorefrmDesign.h"

#include <QAccessible>
#include <QApplication>
#include <QHash>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

namespace palinor {

// The ranking lines, each read by a screen reader as a sentence rather than as its columns.
class RankingModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;

    void setLines(const QStringList& shown, const QStringList& spoken)
    {
        spoken_ = spoken;
        setStringList(shown);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::AccessibleTextRole && index.isValid() && index.row() < spoken_.size()) {
            return spoken_.at(index.row());
        }
        return QStringListModel::data(index, role);
    }

private:
    QStringList spoken_;
};

namespace {

// A list whose line in hand is read first when it takes the focus: a screen reader starts with rank 1 rather
// than with the list as a whole.
class RankingView : public QListView {
public:
    using QListView::QListView;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QListView::focusInEvent(event);
        // After Qt's own news of the list taking the focus, which names the list alone.
        QTimer::singleShot(0, this, [this] {
            if (hasFocus() && currentIndex().isValid()) {
                QAccessibleEvent line(this, QAccessible::Focus);
                line.setChild(currentIndex().row()); // one column: a line is its row
                QAccessible::updateAccessibility(&line);
            }
        });
    }
};

// Each line as text on the list's ground: nothing looks chosen, since there is nothing to choose, and a line
// too long for the list loses part of its name, never its rank or its score.
class RankingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
        // Inside the margins the style keeps on each side of a line's text.
        const QStyle* style = option->widget ? option->widget->style() : QApplication::style();
        const int margins =
            2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, option, option->widget) + 1);
        option->text = fittedLine(option->text, option->fontMetrics, option->rect.width() - margins);
    }
};

// The records that cannot be shown, told once while they stay as they are: the table is opened often.
bool newlySkipped(const QString& file, const std::vector<qint64>& skipped)
{
    static QHash<QString, std::vector<qint64>> told;
    if (told.value(file) == skipped) {
        return false;
    }
    told.insert(file, skipped);
    return !skipped.empty();
}

// How many players the table ranks, and the way out.
QString listDescription(qsizetype players)
{
    const QString ranked = players == 0   ? QStringLiteral("Aucun joueur classé.")
                           : players == 1 ? QStringLiteral("1 joueur classé.")
                                          : QStringLiteral("%1 joueurs classés.").arg(players);
    return ranked + QStringLiteral(" Flèches pour parcourir, Entrée pour fermer.");
}

} // namespace

scorefrm::scorefrm(MessageBoxes& boxes, const ScoreDatabaseOptions& options, QWidget* parent)
    : QDialog(parent), boxes_(boxes), options_(options)
{
    setObjectName(QStringLiteral("scorefrm"));
    setWindowTitle(scores::kCaption);
    setFixedSize(design::toPixels(scores::kClientArea).size());
    design::setGround(this, scores::kLightOrange, scores::kText);

    // Under the list, never seen: it answers Enter as the default button.
    Command1_ = new QPushButton(scores::kOk, this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setGeometry(design::toPixels(scores::kCommand1));
    Command1_->setDefault(true);
    connect(Command1_, &QPushButton::clicked, this, &QDialog::accept);

    model_ = new RankingModel(this);
    List2_ = new RankingView(this);
    List2_->setObjectName(QStringLiteral("List2"));
    List2_->setGeometry(design::toPixels(scores::kList2));
    List2_->setModel(model_);
    List2_->setUniformItemSizes(true);
    List2_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A ranking to read, not a choice: the arrow keys still move through it, and a screen reader follows.
    List2_->setSelectionMode(QAbstractItemView::NoSelection);
    List2_->setItemDelegate(new RankingDelegate(List2_));
    // Asked through the program's registered stand-in, so that no search is made for a font the system lacks.
    QFont font(QFont::substitute(QString::fromLatin1(kFontFamily)));
    font.setPointSizeF(scores::kList2PointSize);
    List2_->setFont(font);
    design::setGround(List2_, scores::kLightOrange, scores::kPurple, design::Boxes::Ground);
    List2_->setAccessibleName(QStringLiteral("Classement des joueurs"));
    List2_->setAccessibleDescription(listDescription(0));
    List2_->setFocus();
    setTabOrder(List2_, Command1_);
}

void scorefrm::load(GameState& state, const QString& databasePath, bool seen)
{
    using Kind = DbError::Kind;
    // Asked only of a load that is seen: the undo's is no time for a question.
    if (seen) {
        offerAccessImport(boxes_, databasePath);
    }
    ScoreDatabase db(databasePath, options_);
    const ScoreTableContents contents = loadScoreTable(
        db, state, [this](const FileOperation& operation) { return untilDone(boxes_, operation); });
    model_->setLines(contents.ranking, contents.spoken);
    List2_->setAccessibleDescription(listDescription(contents.ranking.size()));

    QList<DbError> told;
    for (const DbError& notice : contents.notices) {
        // A backup is always told: the file was repaired, and the copy is the user's to keep.
        if (seen || notice.kind == Kind::Recovered || notice.kind == Kind::ForeignLogSetAside) {
            told << notice;
        }
    }
    const auto alreadyTold = [&told](Kind kind) {
        return std::any_of(told.begin(), told.end(), [kind](const DbError& e) { return e.kind == kind; });
    };
    // Busy: the user has just chosen to give up. A store refused for a damaged or foreign file says what its
    // opening said. A missing file is no news to a load that is never seen: nothing was to be stored.
    for (const auto& failure : {contents.readFailure, contents.storeFailure}) {
        if (failure && failure->kind != Kind::Busy && !(failure->kind == Kind::Missing && !seen) &&
            !alreadyTold(failure->kind)) {
            told << *failure;
        }
    }
    tellAll(boxes_, told);
    if (seen && newlySkipped(shownPath(db.filePath()), contents.skipped)) {
        boxes_.tell(skippedMessage(int(contents.skipped.size()), db.filePath()), MessageBoxes::Icon::Warning);
    }
}

QStringList scorefrm::ranking() const
{
    return model_->stringList();
}

} // namespace palinor

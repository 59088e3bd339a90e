#include "ui/signup/inscription.h"

#include "data/ScoreDatabase.h"
#include "ui/Design.h"
#include "ui/messages/ScoreFilePrompts.h"
#include "ui/signup/InscriptionDesign.h"

#include <QApplication>
#include <QCollator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <algorithm>

namespace palinor {

namespace {

// With nothing selected, an arrow key selects the current row rather than the next: no name is skipped.
class FromFirstName : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* list = qobject_cast<QListView*>(watched);
        if (list == nullptr || event->type() != QEvent::KeyPress || list->model()->rowCount() == 0 ||
            list->selectionModel()->hasSelection()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Down && key->key() != Qt::Key_Up) ||
            (key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) != Qt::NoModifier) {
            return false;
        }
        const QModelIndex current = list->currentIndex();
        list->selectionModel()->setCurrentIndex(current.isValid() ? current : list->model()->index(0, 0),
                                                QItemSelectionModel::ClearAndSelect);
        return true;
    }
};

} // namespace

QString normalisedName(const QString& typed)
{
    qsizetype first = 0;
    qsizetype last = typed.size();
    while (first < last && typed[first] == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && typed[last - 1] == QLatin1Char(' ')) {
        --last;
    }
    return typed.mid(first, last - first).toUpper();
}

inscription::inscription(GameState& state, MessageBoxes& boxes, const ScoreDatabaseOptions& options,
                         QWidget* parent)
    : QDialog(parent), state_(state), boxes_(boxes), options_(options)
{
    setObjectName(QStringLiteral("inscription"));
    setWindowTitle(signup::kCaption);
    resize(design::toPixels(signup::kClientArea).size());
    design::setGround(this, signup::kPaleYellow, signup::kText, design::Boxes::Ground);

    Text1_ = new QLineEdit(signup::kText1Text, this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(design::toPixels(signup::kText1));
    Text1_->setAccessibleName(QStringLiteral("Nom du joueur"));
    Text1_->setAccessibleDescription(QStringLiteral("Tapez le nom du joueur, puis appuyez sur Entrée."));

    names_ = new QStringListModel(this);
    List1_ = new QListView(this);
    List1_->setObjectName(QStringLiteral("List1"));
    List1_->setGeometry(design::toPixels(signup::kList1));
    List1_->setModel(names_);
    List1_->setSelectionMode(QAbstractItemView::SingleSelection);
    List1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1_->setUniformItemSizes(true);
    List1_->setAccessibleName(QStringLiteral("Joueurs inscrits"));
    describeList();
    List1_->installEventFilter(new FromFirstName(List1_));

    Command1_ = new QPushButton(signup::kOk, this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setGeometry(design::toPixels(signup::kCommand1));
    Command1_->setEnabled(false);
    Command1_->setDefault(true);

    QWidget::setTabOrder(Command1_, List1_);
    QWidget::setTabOrder(List1_, Text1_);
    List1_->setFocus();

    // Any change of the text, typed or written by the window, offers "OK" until the window closes.
    connect(Text1_, &QLineEdit::textChanged, this, [this] { Command1_->setEnabled(true); });
    // Selection, not the current item: the list sets a current item by itself when it takes the focus.
    connect(List1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.indexes().isEmpty()) {
                    Text1_->setText(selected.indexes().first().data().toString());
                }
            });
    connect(Command1_, &QPushButton::clicked, this, &inscription::Command1_Click);
}

inscription::~inscription() = default;

void inscription::load(const QString& databasePath)
{
    // Before the file is opened: an import replaces it.
    offerAccessImport(boxes_, databasePath);
    db_ = std::make_unique<ScoreDatabase>(databasePath, options_);
    fillList();
}

bool inscription::fillList()
{
    if (!db_) {
        return false;
    }
    // A file that exists is left to the opening to judge; one that cannot be made is told with its cause.
    if (auto error = db_->createIfMissing()) {
        boxes_.tell(error->message, MessageBoxes::Icon::Warning);
        listed_ = false;
        return false;
    }
    ScanResult scan;
    const std::optional<DbError> failure = untilDone(boxes_, [&] {
        scan = db_->scan();
        return scan.error;
    });
    tellAll(boxes_, db_->takeNotices());
    listed_ = !failure;
    if (failure) {
        // Busy: the user has just chosen to give up.
        if (failure->kind != DbError::Kind::Busy) {
            boxes_.tell(failure->message, MessageBoxes::Icon::Warning);
        }
        return false;
    }
    QStringList names;
    names.reserve(static_cast<qsizetype>(scan.records.size()));
    for (const ScoreRecord& record : scan.records) {
        names << record.nameText();
    }
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    std::sort(names.begin(), names.end(), collator);
    names_->setStringList(names);
    describeList();
    return true;
}

void inscription::describeList()
{
    // The focus starts in the list: it says what to do, also when nobody is registered yet.
    List1_->setAccessibleDescription(
        names_->rowCount() == 0
            ? QStringLiteral(
                  "Aucun joueur inscrit. Appuyez sur Tab, tapez votre nom, puis appuyez sur Entrée.")
            : QStringLiteral(
                  "Choisissez votre nom avec les flèches, puis appuyez sur Entrée ; ou appuyez sur "
                  "Tab pour taper un nouveau nom."));
}

QStringList inscription::names() const
{
    return names_->stringList();
}

void inscription::Command1_Click()
{
    const QString name = normalisedName(Text1_->text());
    Text1_->setText(name);
    if (name.isEmpty()) {
        return;
    }
    // After a failure the file is read afresh, so that the name is compared with what it holds now.
    if (!db_ || (!listed_ && !fillList())) {
        return;
    }
    // Exact, case-sensitive comparison with every listed name.
    if (!names_->stringList().contains(name, Qt::CaseSensitive)) {
        const std::optional<DbError> error = untilDone(boxes_, [&] { return db_->registerPlayer(name); });
        tellAll(boxes_, db_->takeNotices());
        if (error) {
            // Without a record the game's score could never be stored: the player chooses again.
            listed_ = db_->isOpen();
            if (error->kind != DbError::Kind::Busy) {
                boxes_.tell(error->message, MessageBoxes::Icon::Warning);
            }
            return;
        }
    }
    state_.PlayerName = name.toStdString();
    accept();
}

void inscription::keyPressEvent(QKeyEvent* event)
{
    // Escape does nothing here: only "OK" and the close box leave the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace palinor

#include "data/DbError.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <cerrno>

namespace palinor {

namespace {

// SQLite's result codes as Qt reports them in QSQLError::nativeErrorCode(), extended codes included.
enum SqliteCode {
    Perm = 3,
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoErr = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADb = 26,
    ReadOnlyRollback = ReadOnly | (3 << 8),
    ReadOnlyMoved = ReadOnly | (4 << 8),
};

// Refusals made before anything could write to the file say so.
bool leftAsItWas(DbError::Kind kind)
{
    using Kind = DbError::Kind;
    return kind == Kind::EmptyFile || kind == Kind::LinkBeside || kind == Kind::NotADatabase ||
           kind == Kind::AccessDatabase || kind == Kind::WrongSchema || kind == Kind::NeedsRecovery;
}

// The message, without what befell the file.
QString describe(DbError::Kind kind, const QString& path, const QString& detail)
{
    using Kind = DbError::Kind;
    const QString file = shownPath(path);
    QString text;
    switch (kind) {
    case Kind::Missing:
        text = QStringLiteral("Le fichier des scores « %1 » n'existe pas encore.").arg(file);
        break;
    case Kind::NotRegularFile:
        text = QStringLiteral("« %1 » n'est pas un fichier ordinaire mais %2 : ce n'est pas un fichier de "
                              "scores, et le programme ne l'ouvre pas.")
                   .arg(file, detail);
        break;
    case Kind::LinkBeside:
        text =
            QStringLiteral("À côté du fichier des scores « %1 », « %2 » est un lien symbolique vers un autre "
                           "fichier, que le moteur SQLite lirait et modifierait comme s'il était à lui : ce "
                           "n'est pas un fichier du programme. Le fichier des scores n'est pas ouvert, et "
                           "rien n'est copié ni réparé ; supprimez ce lien.")
                .arg(file, shownPath(detail));
        break;
    case Kind::IsFolder:
        text = QStringLiteral("« %1 » est un dossier et non un fichier de scores.").arg(file);
        break;
    case Kind::EmptyFile:
        text = QStringLiteral("Le fichier « %1 » est vide (0 octet) : ce n'est pas une base de scores.")
                   .arg(file);
        break;
    case Kind::NotADatabase:
        text =
            QStringLiteral("Le fichier « %1 » n'est pas une base de scores lisible : son contenu n'est pas "
                           "reconnu ou il est endommagé.")
                .arg(file);
        break;
    case Kind::AccessDatabase:
        text = QStringLiteral("Le fichier « %1 » est une base Microsoft Access (%2), l'ancien format des "
                              "scores, et n'a pas été importé.")
                   .arg(file, detail);
        break;
    case Kind::NoDataFolder:
        text = QStringLiteral(
                   "Le dossier des scores « %1 » n'a pas pu être créé : %2. Les scores ne pourront pas "
                   "être enregistrés.")
                   .arg(file, detail);
        break;
    case Kind::ImportFailed:
        text = QStringLiteral("L'ancien fichier des scores « %1 » n'a pas pu être importé : %2. Il reste tel "
                              "quel, et rien n'a été modifié.")
                   .arg(file, detail);
        break;
    case Kind::WrongSchema:
        text = QStringLiteral("Le fichier « %1 » est une base SQLite, mais %2 : ce n'est pas une base de "
                              "scores.")
                   .arg(file, detail);
        break;
    case Kind::Foreign:
        text =
            QStringLiteral("Le fichier « %1 » contient la table des scores, mais aussi %2, que ce programme "
                           "ne crée jamais : ce n'est pas un fichier de scores ordinaire. Ses scores sont "
                           "affichés, mais rien n'y sera enregistré.")
                .arg(file, detail);
        break;
    case Kind::Damaged:
        text = QStringLiteral("Le fichier des scores « %1 » est endommagé : %2. Ce qui peut en être lu est "
                              "affiché, mais rien n'y sera enregistré ; remplacez-le par une copie saine.")
                   .arg(file, detail);
        break;
    case Kind::NeedsRecovery:
        text = QStringLiteral("Le fichier des scores « %1 » a été laissé inachevé par un programme arrêté en "
                              "pleine écriture, et il ne peut pas être réparé : %2.")
                   .arg(file, detail);
        break;
    case Kind::Recovered:
        text =
            QStringLiteral("Le fichier des scores « %1 » avait été laissé inachevé par un programme arrêté "
                           "en pleine écriture. Avant de le réparer, le programme en a fait une copie, "
                           "avec ce qui restait de l'écriture interrompue : %2.")
                .arg(file, detail);
        break;
    case Kind::ForeignLogSetAside:
        text =
            QStringLiteral("À côté du fichier des scores « %1 » se trouvait le journal d'écriture (« -wal ») "
                           "d'une autre copie de la base : appliqué, il aurait remplacé les scores. Le "
                           "programme l'a mis de côté sans l'appliquer, avec une copie du fichier : %2.")
                .arg(file, detail);
        break;
    case Kind::CannotRead:
        text = QStringLiteral("Le fichier des scores « %1 » ne peut pas être lu : %2.").arg(file, detail);
        break;
    case Kind::ReadOnly:
        text =
            QStringLiteral("Le fichier des scores « %1 » ne peut pas être modifié : le fichier est en "
                           "lecture seule ou son dossier est protégé en écriture. Rien n'a été enregistré.")
                .arg(file);
        break;
    case Kind::Moved:
        text =
            QStringLiteral("Le fichier des scores « %1 » a été déplacé, renommé ou supprimé pendant que le "
                           "programme l'avait ouvert. Rien n'a été enregistré ; recommencez pour utiliser "
                           "le fichier qui porte maintenant ce nom.")
                .arg(file);
        break;
    case Kind::PathTooLong:
        text =
            QStringLiteral("Le chemin du fichier des scores « %1 » est trop long pour le moteur SQLite : %2. "
                           "Placez le programme ou ses scores dans un dossier au chemin plus court.")
                .arg(file, detail);
        break;
    case Kind::CannotCreate:
        text = QStringLiteral("Le fichier des scores « %1 » ne peut pas être créé : %2.").arg(file, detail);
        break;
    case Kind::DiskFull:
        text = QStringLiteral("Le disque qui porte le fichier des scores « %1 » est plein. Rien n'a été "
                              "enregistré ; libérez de la place et recommencez.")
                   .arg(file);
        break;
    case Kind::Busy:
        text = QStringLiteral("Le fichier des scores « %1 » est utilisé en ce moment par un autre exemplaire "
                              "du programme ou par un autre programme.")
                   .arg(file);
        break;
    case Kind::NameTooLong:
        text = QStringLiteral("Ce nom compte %1 caractères : un nom de joueur ne peut pas en compter plus de "
                              "255.")
                   .arg(detail);
        break;
    case Kind::UnstorableName:
        text = QStringLiteral(
            "Ce nom commence par un caractère invisible (U+FEFF) ou contient un caractère "
            "non valide (U+FFFE, U+FFFF, ou une moitié de caractère UTF-16 seule) : il ne peut pas être "
            "enregistré tel quel. "
            "Retapez-le sans ce caractère.");
        break;
    case Kind::EmptyName:
        text = QStringLiteral("Le nom du joueur est vide.");
        break;
    case Kind::BadScore:
        text =
            QStringLiteral("Le score %1 ne peut pas être enregistré : un score va de 0 à 255.").arg(detail);
        break;
    case Kind::Engine:
        text = QStringLiteral("Le fichier des scores « %1 » a refusé l'opération (%2). Rien n'a été "
                              "enregistré.")
                   .arg(file, detail);
        break;
    }
    return text;
}

} // namespace

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

DbError dbError(DbError::Kind kind, const QString& path, const QString& detail)
{
    const QString text = describe(kind, path, detail);
    return {kind, leftAsItWas(kind) ? text + QStringLiteral(" Il n'a pas été modifié.") : text, path, detail};
}

DbError afterRepair(const DbError& refusal)
{
    if (!leftAsItWas(refusal.kind)) {
        return refusal;
    }
    return {refusal.kind,
            describe(refusal.kind, refusal.path, refusal.detail) +
                QStringLiteral(" Il venait d'être réparé, après une copie de sauvegarde."),
            refusal.path, refusal.detail};
}

DbError engineError(const QString& path, const QSqlError& error, bool writing)
{
    using Kind = DbError::Kind;
    const int code = error.nativeErrorCode().toInt();
    if (code == ReadOnlyMoved) {
        return dbError(Kind::Moved, path);
    }
    if (code == ReadOnlyRollback) {
        return dbError(Kind::NeedsRecovery, path,
                       QStringLiteral("le programme ne peut pas écrire dans le fichier pour le réparer"));
    }
    switch (code & 0xff) {
    case Busy:
    case Locked:
        return dbError(Kind::Busy, path);
    case ReadOnly:
    case Perm:
        return dbError(Kind::ReadOnly, path);
    case CantOpen:
        // While writing this is the journal beside the file that cannot be created.
        return writing ? dbError(Kind::ReadOnly, path)
                       : dbError(Kind::CannotRead, path, QStringLiteral("il ne peut pas être ouvert"));
    case Corrupt:
    case NotADb:
        return dbError(Kind::Damaged, path, QStringLiteral("sa lecture s'arrête sur une partie illisible"));
    case Full:
        return dbError(Kind::DiskFull, path);
    case IoErr:
        return dbError(Kind::Engine, path, QStringLiteral("erreur de lecture ou d'écriture sur le disque"));
    default:
        // Qt gives no code for some failures, such as those of a commit.
        return dbError(Kind::Engine, path,
                       code == 0 ? QStringLiteral("cause inconnue")
                                 : QStringLiteral("code d'erreur %1 du moteur SQLite").arg(code));
    }
}

QString systemCause(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return QStringLiteral("l'accès est refusé (droits insuffisants)");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("son dossier n'existe pas");
    case ENOSPC:
        return QStringLiteral("le disque est plein");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("le quota de disque est atteint");
#endif
    case EROFS:
        return QStringLiteral("le disque est en lecture seule");
    case ENAMETOOLONG:
        return QStringLiteral("son chemin est trop long");
    case EIO:
        return QStringLiteral("erreur de lecture ou d'écriture sur le disque");
    default:
        return QStringLiteral("erreur système %1").arg(errorNumber);
    }
}

} // namespace palinor

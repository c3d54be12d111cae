#pragma once
// A temporary root folder and program folder for one test: KORVANTE_DIR points
// at the root and the program's own folder (KORVANTE.INI, LOG) is a sibling, so
// nothing is ever written outside the temporary folder. Restores both on
// destruction.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace velix::test {

class TempFolders {
public:
    TempFolders();
    ~TempFolders();

    bool isValid() const { return m_dir.isValid(); }
    QString base() const { return m_dir.path(); }
    QString root() const { return m_dir.path() + QStringLiteral("/root"); }
    QString program() const { return m_dir.path() + QStringLiteral("/program"); }

    /// Writes a file relative to base(), creating folders; bytes as given.
    void writeFile(const QString &relative, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldRoot;
    bool m_hadRoot;
};

/// The source tree (for the schema script and shipped files).
QString sourceDir();

} // namespace velix::test

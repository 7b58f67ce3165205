#pragma once

#include <QDir>
#include <QTemporaryDir>

// The program finds its settings and favorites files by relative name, so in the working
// directory. This makes an empty folder of its own the working directory; when it goes, the
// old working directory comes back before the folder is removed.
class ScratchFolder final
{
    Q_DISABLE_COPY_MOVE(ScratchFolder)
public:
    ScratchFolder()
        : m_oldCurrent(QDir::currentPath())
        , m_current(m_dir.isValid() && QDir::setCurrent(m_dir.path()))
    {
    }
    ~ScratchFolder() { QDir::setCurrent(m_oldCurrent); }

    // Whether the folder could be made, and whether it became the working directory.
    bool isValid() const { return m_dir.isValid(); }
    bool isCurrent() const { return m_current; }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    // Made before the old working directory is noted and the new one entered.
    QTemporaryDir m_dir;
    QString m_oldCurrent;
    bool m_current;
};

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, standing in for the program's folder (AppDir).
class TempDir {
public:
    TempDir();
    // The folder with a trailing delimiter.
    QString path() const { return m_dir.path() + u'/'; }
    QString file(const QString& name) const { return path() + name; }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

#include "tests/support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

TempDir::TempDir() {
    EXPECT_TRUE(m_dir.isValid());
}

void TempDir::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << file(name).toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray TempDir::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform::paths {
struct Layout;
}
namespace strokes {
class StrokeTable;
}

// Where the stroke-order picture of a kanji comes from: a ready-made file in one of the picture
// folders, else the user's cache of pictures made before, else a picture drawn now from the
// stroke table, written into the cache (atomically) and read from there. When the cache cannot be
// written the picture is handed over in memory. A kanji that no folder has and the table lacks
// has no picture.
class KanjiPictures {
public:
    // folders: looked in, in order; cacheFolder: made when first needed; table: may be null.
    KanjiPictures(QStringList folders, QString cacheFolder, const strokes::StrokeTable* table);
    // The program's own: the picture folders, cache and stroke table of its layout (the table
    // when it is there).
    static KanjiPictures of(const platform::paths::Layout& layout);

    struct Picture {
        QString file;    // read the picture from here...
        QByteArray data; // ...or, when file is empty, from these bytes
        bool fromCache = false;
        bool none() const { return file.isEmpty() && data.isEmpty(); }
    };

    // Whether any picture can come from here: a picture folder exists or the table is there.
    bool available() const;
    // The picture of a kanji (its UTF-16 unit and Shift_JIS code).
    Picture pictureOf(char16_t unit, quint16 code) const;
    // Draws the picture anew (a cached copy could not be read): into the cache again when it can
    // be written, else in memory.
    Picture remake(char16_t unit, quint16 code) const;

private:
    QStringList m_folders;
    QString m_cacheFolder;
    const strokes::StrokeTable* m_table;
};

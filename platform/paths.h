#pragma once

#include <QString>
#include <QStringList>

// Where the program's files live.
namespace platform::paths {

// The file's path with links and "." / ".." resolved; for a file that does not exist, its absolute
// path.
QString canonical(const QString& path);

// The user's runtime folder (XDG_RUNTIME_DIR): sockets and lock files that must not outlive the
// session and must not lie beside the user's files. Ends without a delimiter.
QString runtimeFolder();

// A file of the runtime folder whose name stands for key (a path, say): prefix, a digest of the
// key, suffix. The same key gives the same file for every copy of the program.
QString runtimeFile(const QString& prefix, const QString& key, const QString& suffix);

// Where the program keeps its files, decided once from the program's folder.
//
// Portable: the program's folder holds no installed layout (no "../share/sorabi" beside it), as
// in the build folder or an unpacked copy. Settings, bare deck names and the "pics" folder are
// in the program's folder, with the stroke table and the sample deck beside the program.
//
// Installed: the program sits in <prefix>/bin with <prefix>/share/sorabi beside it. Settings in
// $XDG_CONFIG_HOME/sorabi/sorabi.ini (~/.config/sorabi), bare deck names and decks made by the
// program in $XDG_DATA_HOME/sorabi/ (~/.local/share/sorabi), pictures in <prefix>/share/sorabi/pics
// and then "sorabi/pics" of each XDG data folder; the stroke table and the sample deck in
// <prefix>/share/sorabi.
//
// In both, pictures made by the program go to the user's cache, $XDG_CACHE_HOME/sorabi/pics.
struct Layout {
    bool installed = false;
    QString programFolder; // ends in a delimiter
    QString settingsFile;
    QString deckFolder;         // bare deck names and new decks; ends in a delimiter
    QStringList pictureFolders; // ready-made pictures, in the order they are looked in
    QString pictureCache;
    QString strokeTable;
    QString sampleDeck; // the sample deck that comes with the program

    // programFolder ends in a delimiter.
    static Layout forProgram(const QString& programFolder);
    static Layout portable(const QString& programFolder);
    static Layout installedAt(const QString& programFolder);

    // The sample deck's name in the deck folder on a first start.
    static QString sampleDeckName();
};

} // namespace platform::paths

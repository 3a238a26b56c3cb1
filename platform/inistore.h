#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// An INI file read and written key by key with the semantics of the desktop's profile functions:
// sections and keys match without regard to case, a key already in the file keeps its line when it
// is rewritten, a new key goes to the end of its section and a new section to the end of the file.
// Lines the store does not understand (comments, stray text) are kept as they are.
//
// The whole file is read once on construction and written once by save(), atomically.
class IniStore {
public:
    // Longest string value handed out by readString, in UTF-16 code units.
    static constexpr int kMaxStringLength = 2047;

    IniStore();
    // Reads the file at path; a missing or unreadable file reads as empty.
    explicit IniStore(QString path);

    static IniStore fromBytes(const QByteArray& bytes);

    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x" or "$", optionally signed; anything else gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    // True for any integer other than 0; a value that is not an integer gives def.
    bool readBool(const QString& section, const QString& key, bool def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    QByteArray toBytes() const;
    // True when save() would change the file: it was missing, or toBytes() differs from what was
    // read.
    bool differsFromFile() const;
    // Replaces the file at path(); throws platform::Error "Unable to write to <path>" on failure.
    void save() const;

    // Parses an integer by the rules of readInteger; false when text is not one.
    static bool parseInteger(QStringView text, int* value);

private:
    enum class Encoding { EightBit, Utf8Bom, Utf16LE };

    void parse(const QByteArray& bytes);
    // Index of the line holding the section header, or -1.
    int findSection(const QString& section) const;
    // End of the section starting at header (the index of the next header or the line count).
    int sectionEnd(int header) const;
    int findKey(int header, const QString& key) const;
    // The raw value of a key (trimmed, outer quotes removed), or a null string when absent.
    QString rawValue(const QString& section, const QString& key) const;

    QString m_path;
    QByteArray m_read; // the file as read on construction
    bool m_existed = false;
    QStringList m_lines;
    Encoding m_encoding = Encoding::EightBit;
    QString m_newline;
};

} // namespace platform

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class EvolveScene;
class QWidget;

// The project file: the whole design (shapes, mesh with plate states, loads, constraints, the
// remembered dialog values and the two materials) as one XML document.
class ProjectFile {
public:
    // Where and why a document cannot be read; line 0 when the text has no line to point at.
    struct Problem {
        qint64 line = 0;
        QString reason;
    };

    // The text of project file bytes: up to the first NUL byte; UTF-8 (what we write) unless
    // the declaration names an 8-bit encoding or the bytes are no valid UTF-8, then Latin-1
    // (what older workbenches wrote).
    static QString decode(const QByteArray& bytes);

    // Checks the whole document before anything is replaced: well-formed XML whose document
    // element is "scene". Returns the first problem, or an empty reason when the text is
    // readable.
    static Problem check(const QString& text);

    // Writes the scene's project to path through a temporary file that replaces the old one
    // only when complete. On failure returns false with the reason in error.
    static bool save(EvolveScene* scene, const QString& path, QString* error);

    // Reads the project at path into the scene. A file that cannot be opened or checked leaves
    // the scene as it was and returns false with "file, line: reason" in error. On success the
    // design is replaced; parts of the document that could not be used are listed in warnings.
    static bool open(EvolveScene* scene, const QString& path, QString* error,
                     QStringList* warnings = nullptr);

    // open() for the user: a file that cannot be read is said in one message box (file, line,
    // reason) and the design stays; parts of a read file that could not be used are listed in
    // one message box after loading. Returns whether the design was replaced.
    static bool openWithMessages(QWidget* parent, EvolveScene* scene, const QString& path);
};

// The whole project document of the scene as text.
QString writeProject(EvolveScene* scene);

// Replaces the scene's contents by the document's (the caller checked it with
// ProjectFile::check). Returns what could not be used, one "line N: reason" per entry.
QStringList readProject(EvolveScene* scene, const QString& text);

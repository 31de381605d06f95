#pragma once

#include <QString>

class EvolveMesh;
class EvolveScene;
class QWidget;

// "Import Model": rebuilds a meshed design from a model text file in the engine's format, as
// the workbench exports it or as the engine writes its iteration snapshots. The scene takes its
// scale and node spacing from the node coordinates and generates a fresh mesh; the mesh then
// switches on the plates of the file's elements with their materials (marking the elements an
// optimization removed) and attaches the file's forces and constraints to its nodes.
//
// The design is replaced only by a text that can be imported: a file that cannot be opened, or a
// text without two distinct x and two distinct y node coordinates, leaves it untouched.
class ModelImport {
public:
    // Asks for a model text file ("Select model file") and imports it; a failure is shown in a
    // message box. No file chosen: nothing happens.
    static void importModelFile(EvolveScene* scene, QWidget* parent);

    // Reads the file at path (bytes up to the first NUL, UTF-8 or else Latin-1) and imports it.
    // Returns false with the reason in error, the design untouched.
    static bool importFile(EvolveScene* scene, const QString& path, QString* error);

    // The scene part: checks the text, clears the scene (one undo step), sets the scale and the
    // node spacing, creates the mesh and lets it apply the text. Returns false with the reason
    // in error, the scene untouched, when the nodes give no grid.
    static bool importModelText(EvolveScene* scene, const QString& text, QString* error);

    // The mesh part: every plate off (keeping result colours), then the text's elements switched
    // on, its forces and constraints attached to the nodes at their positions. Elements, forces
    // and constraints whose node is not a mesh node are left out.
    static void applyModelText(EvolveMesh* mesh, EvolveScene* scene, const QString& text);
};

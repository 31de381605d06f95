#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class EngineRun;
class EvolveMesh;
class HistoryPlot;
#include <QTimeLine>

// Looks back at the iterations of an optimization: shows the design and results of any
// iteration ("frame") from the snapshots the engine leaves in the workspace, lets the user
// pick one, replays all of them as a movie, reverts to the initial design and plots the
// history. Lives as a child of its EngineRun, which holds the iteration counters.
class IterationReview : public QObject {
    Q_OBJECT
public:
    IterationReview(EvolveMesh* mesh, EngineRun* run);

    // Frame file of iteration k: "BMesh" + k with at least three digits + suffix.
    static QString frameFile(int iteration, const QString& suffix);

    // Applies a snapshot's model text: every plate off, then each element's plate on with the
    // element's material; elements at the soft design density are shown as removed.
    void applyDesign(const QString& text);

    // "Intermediate design": a dialog to pick the iteration to show.
    void chooseIteration();
    // Starts the movie dialog (true) or stops a running movie (false).
    void runMovie(bool start);
    // Starts a movie at v iterations per second without the dialog (v at least 1).
    void startMovie(int iterationsPerSecond);
    QTimeLine* timeLine() const { return movie; }
    // Back to the initial design.
    void revert();
    // The history plot of the workspace's "Result.txt" (null when there is none).
    HistoryPlot* plot();

public slots:
    // Shows iteration k: its design, stresses and displacements, each when its file exists.
    void loadFrame(int iteration);
    void timeLineFinished();

private:
    void showMovieBox(const QString& title, const QString& text);

    EvolveMesh* mesh;
    EngineRun* run;
    QPointer<QTimeLine> movie;
};

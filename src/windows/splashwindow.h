#pragma once
// The splash window shown at start-up: product name, picture and "Control de
// Calidad" on a raised panel. It hides itself a while after the main window
// has become active.
#include <QTimer>
#include <QWidget>

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultIntervalMs = 3000;

    explicit SplashWindow(QWidget *parent = nullptr, int intervalMs = kDefaultIntervalMs);

    const QTimer &timer() const { return timer_; }

public slots:
    // The frame calls this every time the main window becomes the active
    // window: starts the timer unless it is already running.
    void mainWindowActivated();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void timerFired();

    QTimer timer_;
};

// The NFO window: the disk's text over a dark picture, dragged by the text, closed by a
// "Close" label that pulses while the pointer rests on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QImage>
#include <QPointer>

#include "forms/Controls.h"
#include "forms/Timer.h"

namespace nfo {

// The window object lives from the first Info click to the end of the program; the window
// itself is loaded and unloaded any number of times in between.
class frmNfo {
public:
    explicit frmNfo(forms::TimerClock& clock);
    ~frmNfo();
    frmNfo(const frmNfo&) = delete;
    frmNfo& operator=(const frmNfo&) = delete;

    // Loads the window if needed, then shows it modeless and brings it to the front.
    void Show();
    // Destroys the window with its controls and its timer; the window variables stay.
    void Unload();
    bool isLoaded() const { return form_ != nullptr; }

    // Event handlers and window procedures.
    void Form_Load();
    void Form_MouseMove(const forms::MouseEventArgs& e);
    void Back_MouseMove(const forms::MouseEventArgs& e);
    void lblNfo_MouseMove(const forms::MouseEventArgs& e);
    void lblNfo_MouseDown(const forms::MouseEventArgs& e);
    void lblNfo_MouseUp(const forms::MouseEventArgs& e);
    void lblClose_MouseMove(const forms::MouseEventArgs& e);
    void lblClose_Click();
    void Timer5_Timer();
    void Flash3();

    // The window and its controls while loaded, nullptr otherwise.
    forms::Form* form() const { return form_; }
    forms::Picture* Back() const { return back_; }
    forms::Label* lblNfo() const { return lblNfo_; }
    forms::Label* lblNfoShadow() const { return lblNfoShadow_; }
    forms::Label* lblClose() const { return lblClose_; }
    forms::Timer* Timer5() const { return timer5_.get(); }

    // Window variables; they outlive an unload (the load handler resets only closeStep).
    std::int16_t dragging = 0; // -1 while the text label holds a press
    float dragStartX = 0;      // where the press hit the text label, in twips
    float dragStartY = 0;
    std::int16_t closeStep = 0;

    // The embedded assets; empty when the build carries none.
    static const std::string& nfoText();
    static const QImage& backgroundPicture();

private:
    void load();
    void stopPulse();
    void closedByWindowSystem();

    forms::TimerClock& clock_;
    QPointer<forms::Form> form_;
    // An unloaded window waits for the event loop to delete it, because the unload may come
    // from inside one of its own event handlers.
    QPointer<forms::Form> retired_;
    forms::Picture* back_ = nullptr;
    forms::Label* lblNfo_ = nullptr;
    forms::Label* lblNfoShadow_ = nullptr;
    forms::Label* lblClose_ = nullptr;
    std::unique_ptr<forms::Timer> timer5_;
    bool unloading_ = false;
};

} // namespace nfo

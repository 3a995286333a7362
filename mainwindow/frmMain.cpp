#include "mainwindow/frmMain.h"

#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QString>

#include <algorithm>

#include "forms/Accessibility.h"
#include "player/TrackList.h"

namespace mainwindow {

namespace {

constexpr forms::Colour kWhite = 0xFFFFFF;
constexpr forms::Colour kBlack = 0x000000;
constexpr forms::Colour kValueRed = 0x0000C0;
constexpr forms::Colour kLegendOrange = 0x0040C0;

const char* const kLegend = "Track Number\r\nTrack Time\r\nTime Elapsed\r\nCPU Usage";
const char* const kModListHeading = "-- ModList --\r\n\r\n";

QImage asset(const char* name) {
    return QImage(QStringLiteral(":/assets/%1.png").arg(QLatin1String(name))).convertToFormat(QImage::Format_RGB32);
}

forms::Label& textLabel(forms::Container& parent, const std::string& name, float left, float top, float width,
    float height, const std::string& caption, forms::Colour fore) {
    forms::Label& l = parent.addLabel(name, left, top, width, height);
    l.setCaption(caption);
    l.setForeColor(fore);
    return l;
}

// The shadow of the tune list: an empty first line, then every title on a line of its own.
std::string tuneShadowsCaption() {
    std::string s = "\r";
    for (std::size_t k = 0; k < player::kTuneTitles.size(); ++k) {
        if (k) s += "\r\n";
        s += player::kTuneTitles[k];
    }
    return s;
}

// Hands the window's key presses to the window; the skin has no control that takes focus.
class KeyWatcher final : public QObject {
public:
    KeyWatcher(QObject* parent, std::function<bool(const QKeyEvent&)> onKey)
        : QObject(parent), onKey_(std::move(onKey)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::KeyPress)
            return onKey_(static_cast<const QKeyEvent&>(*event));
        return false;
    }

private:
    std::function<bool(const QKeyEvent&)> onKey_;
};

} // namespace

frmMain::frmMain(player::Environment env, std::function<void(const std::string&)> fatal)
    : env_(std::move(env)), fatal_(std::move(fatal)) {
    buildControls();

    player::PlayerControls pc;
    pc.btnExit = exit.lit;
    pc.btnInfo = info.lit;
    pc.Timer1 = Timer1.get();
    pc.Timer2 = Timer2.get();
    pc.Timer3 = Timer3.get();
    pc.Timer4 = Timer4.get();
    pc.tmrBass = tmrBass.get();
    pc.lbl1 = lbl1;
    player_ = std::make_unique<player::Player>(env_, pc);

    player::ReadOutLabels rl;
    rl.lblTrackNro = lblTrackNro;
    rl.lblTrackNro2 = lblTrackNro2;
    rl.lblOrgTime = lblOrgTime;
    rl.lblOrgTime2 = lblOrgTime2;
    rl.lblTime = lblTime;
    rl.lblTime2 = lblTime2;
    rl.markers = markers;
    readOuts_ = std::make_unique<player::ReadOuts>(*player_, rl);

    effects::EffectsControls ec;
    ec.lbl1 = lbl1;
    ec.lbl2 = lbl2;
    ec.lblCPU = lblCPU;
    ec.lblCPU2 = lblCPU2;
    ec.Picture2 = Picture2;
    ec.Picture3 = Picture3;
    ec.Timer2 = Timer2.get();
    ec.Timer3 = Timer3.get();
    effects_ = std::make_unique<effects::Effects>(ec, [library = env_.library] { return library->GetCPU(); });

    wireEvents();
    exposeToAssistiveTechnology();
}

frmMain::~frmMain() {
    // The NFO window and the timers go before the controls they point at.
    nfo_.reset();
    Timer1.reset();
    Timer2.reset();
    Timer3.reset();
    Timer4.reset();
    tmrBass.reset();
}

void frmMain::buildControls() {
    form_ = std::make_unique<forms::Form>("frmMain", kWindowWidth, kWindowHeight);
    form_->setCaption("Form1");

    MainSkin = &form_->addPicture("MainSkin", 0, 0, 7845, 7500);
    MainSkin->setPicture(asset("skin"));
    forms::Picture& skin = *MainSkin;
    forms::TimerClock& clock = *env_.clock;

    // Children of the skin, front to back.
    tmrBass = std::make_unique<forms::Timer>(clock, "tmrBass");
    Timer4 = std::make_unique<forms::Timer>(clock, "Timer4");
    Timer3 = std::make_unique<forms::Timer>(clock, "Timer3");

    struct ButtonPlace {
        ButtonPair* pair;
        const char* word;
        float left, width;
    };
    const ButtonPlace buttons[] = {
        {&prev, "Prev", 3690, 510},
        {&play, "Play", 4350, 495},
        {&next, "Next", 4995, 600},
        {&stop, "Stop", 5745, 510},
        {&info, "Info", 6405, 510},
        {&exit, "Exit", 7065, 555},
    };
    for (const auto& b : buttons) {
        const std::string name = std::string("btn") + b.word;
        b.pair->lit = &skin.addPicture(name, b.left, 6795, b.width, 285);
        b.pair->lit->setPicture(asset(name.c_str()));
    }
    for (auto it = std::rbegin(buttons); it != std::rend(buttons); ++it) {
        const std::string name = std::string("btn") + it->word + "_org";
        it->pair->resting = &skin.addPicture(name, it->left, 6795, it->width, 285);
        it->pair->resting->setPicture(asset(name.c_str()));
    }

    Timer2 = std::make_unique<forms::Timer>(clock, "Timer2");

    Picture2 = &skin.addPicture("Picture2", 60, 0, 7695, 315);
    Picture2->setBackColor(kBlack);
    Picture3 = &Picture2->addPicture("Picture3", 7680, 60, 7755, 240);
    Picture3->setBackColor(kBlack);
    Picture3->setScale(1.8201163f, 1.0f);
    lbl1 = &textLabel(*Picture3, "lbl1", 120, 30, 14115, 195, "...", kWhite);
    lbl1->setBackColor(kBlack);
    lbl1->setOpaque(true);

    Timer1 = std::make_unique<forms::Timer>(clock, "Timer1");

    lblTrackNro = &textLabel(skin, "lblTrackNro", 1320, 6600, 615, 135, "...", kValueRed);
    lblTrackNro2 = &textLabel(skin, "lblTrackNro2", 1350, 6615, 615, 135, "...", kBlack);
    Label1 = &textLabel(skin, "Label1", 120, 6600, 1215, 495, kLegend, kLegendOrange);
    lblInfos = &textLabel(skin, "lblInfos", 150, 6630, 1215, 495, kLegend, kBlack);
    lblCPU = &textLabel(skin, "lblCPU", 1320, 6960, 615, 135, "...", kValueRed);
    lblTime = &textLabel(skin, "lblTime", 1320, 6840, 615, 135, "...", kValueRed);
    lblOrgTime = &textLabel(skin, "lblOrgTime", 1320, 6720, 615, 135, "...", kValueRed);
    lblOrgTime2 = &textLabel(skin, "lblOrgTime2", 1350, 6735, 615, 135, "...", kBlack);
    lblCPU2 = &textLabel(skin, "lblCPU2", 1335, 6990, 615, 135, "...", kBlack);
    lblTime2 = &textLabel(skin, "lblTime2", 1335, 6870, 615, 135, "...", kBlack);

    for (int k = 16; k >= 0; --k)
        markers[k] = &textLabel(skin, "c" + std::to_string(k + 1), 3720, 3600 + 120.0f * static_cast<float>(k), 135,
            135, "*", kWhite);
    lblModList = &textLabel(skin, "lblModList", 3840, 3360, 2655, 135, kModListHeading, kWhite);
    for (int k = 16; k >= 0; --k)
        tunes[k] = &textLabel(skin, std::string(player::kTrackList[k].titleLabel), 3840,
            3600 + 120.0f * static_cast<float>(k), 2655, 135, std::string(player::kTuneTitles[k]), kWhite);

    lbl2 = &textLabel(skin, "lbl2", 75, 7230, 7650, 195, "", kWhite);
    lbl2->setBackColor(kBlack);
    lbl2->setOpaque(true);
    lbl2->setAlignment(forms::Label::Align::Center);

    ModListShadow = &textLabel(skin, "ModListShadow", 3870, 3390, 2655, 135, kModListHeading, kBlack);
    TuneShadows = &textLabel(skin, "TuneShadows", 3870, 3510, 3015, 2415, tuneShadowsCaption(), kBlack);
}

std::function<void()> frmMain::guarded(std::function<void()> handler) {
    return [this, handler = std::move(handler)] {
        try {
            handler();
        } catch (const player::LibraryError& e) {
            fatal_(e.what());
        }
    };
}

forms::MouseHandler frmMain::guardedMouse(std::function<void(const forms::MouseEventArgs&)> handler) {
    return [this, handler = std::move(handler)](const forms::MouseEventArgs& e) {
        try {
            handler(e);
        } catch (const player::LibraryError& err) {
            fatal_(err.what());
        }
    };
}

void frmMain::wireEvents() {
    auto& p = *player_;
    auto& fx = *effects_;
    Timer1->onTimer = guarded([&fx] { fx.Timer1_Timer(); });
    Timer2->onTimer = guarded([&fx] { fx.Timer2_Timer(); });
    Timer3->onTimer = guarded([&fx] { fx.Timer3_Timer(); });
    Timer4->onTimer = guarded([&fx] { fx.Timer4_Timer(); });
    tmrBass->onTimer = guarded([&p] { p.tmrBass_Timer(); });

    MainSkin->onMouseDown = [this](const forms::MouseEventArgs& e) { MainSkin_MouseDown(e); };
    MainSkin->onMouseMove = guardedMouse([this](const forms::MouseEventArgs& e) { MainSkin_MouseMove(e); });
    MainSkin->onMouseUp = [this](const forms::MouseEventArgs& e) { MainSkin_MouseUp(e); };

    prev.resting->onMouseMove = [this](const forms::MouseEventArgs& e) { btnPrev_org_MouseMove(e); };
    play.resting->onMouseMove = [this](const forms::MouseEventArgs& e) { btnPlay_org_MouseMove(e); };
    next.resting->onMouseMove = [this](const forms::MouseEventArgs& e) { btnNext_org_MouseMove(e); };
    stop.resting->onMouseMove = [this](const forms::MouseEventArgs& e) { btnStop_org_MouseMove(e); };
    info.resting->onMouseMove = [this](const forms::MouseEventArgs& e) { btnInfo_org_MouseMove(e); };
    exit.resting->onMouseMove = [this](const forms::MouseEventArgs& e) { btnExit_org_MouseMove(e); };

    prev.lit->onClick = guarded([&p] { p.btnPrev_Click(); });
    play.lit->onClick = guarded([&p] { p.btnPlay_Click(); });
    next.lit->onClick = guarded([&p] { p.btnNext_Click(); });
    stop.lit->onClick = guarded([&p] { p.btnStop_Click(); });
    info.lit->onClick = guarded([this] { btnInfo_Click(); });
    exit.lit->onClick = guarded([this] { btnExit_Click(); });

    for (std::size_t k = 0; k < tunes.size(); ++k)
        tunes[k]->onClick = guarded([&p, k] { p.TuneClick(static_cast<std::int16_t>(k)); });

    form_->installEventFilter(new KeyWatcher(form_.get(),
        [this](const QKeyEvent& e) { return Form_KeyDown(e.key(), e.modifiers(), e.isAutoRepeat()); }));
}

void frmMain::exposeToAssistiveTechnology() {
    forms::enableAccessibility();
    form_->setAccessibleName(QString::fromLatin1(player::kProgramTitle));
    const std::pair<ButtonPair*, const char*> buttons[] = {
        {&prev, "Prev"},
        {&play, "Play"},
        {&next, "Next"},
        {&stop, "Stop"},
        {&info, "Info"},
        {&exit, "Exit"},
    };
    // The resting image is what shows until the pointer comes by; the button presses as the
    // lit one is clicked.
    for (const auto& [b, name] : buttons) forms::exposeButton(*b->lit, *b->resting, name, b->lit->onClick);
    const std::pair<forms::Label*, const char*> readOuts[] = {
        {lblTrackNro, "Track Number"},
        {lblOrgTime, "Track Time"},
        {lblTime, "Time Elapsed"},
    };
    for (const auto& [label, legend] : readOuts) forms::exposeReadOut(*label, legend);
    // Read when asked: its changes at every tick of the scroller are no news.
    forms::exposeLabel(*lblCPU, "CPU Usage");
    for (std::size_t k = 0; k < tunes.size(); ++k) forms::exposeChoice(*tunes[k], *markers[k]);
    forms::exposeLabel(*lbl1);
    forms::exposeLabel(*lbl2);
}

// The pulse and the fade restart before anything of start-up can show them.
bool frmMain::Form_Load() {
    effects_->restartSteps();
    return player_->Form_Load();
}

void frmMain::Show() { form_->show(); }

void frmMain::light(const ButtonPair& b) {
    b.lit->setVisible(true);
    b.resting->setVisible(false);
}

void frmMain::rest(const ButtonPair& b) {
    b.lit->setVisible(false);
    b.resting->setVisible(true);
}

void frmMain::MainSkin_MouseDown(const forms::MouseEventArgs& e) {
    drag_.dragging = player::kTrue;
    drag_.dragStartX = e.X;
    drag_.dragStartY = e.Y;
    // The compositor places windows here: it carries the drag, and the press ends at once
    // (MainSkin_MouseUp runs), as the release it keeps to itself would end it.
    if (!forms::Form::canPlaceWindows()) form_->startSystemMove();
}

void frmMain::MainSkin_MouseMove(const forms::MouseEventArgs& e) {
    for (const ButtonPair* b : {&exit, &info, &stop, &next, &play, &prev}) rest(*b);
    const DragState& st = drag_;
    if (st.dragging == player::kFalse) return;
    const float top = static_cast<float>(static_cast<double>(form_->Top()) + e.Y - static_cast<double>(st.dragStartY));
    const float left =
        static_cast<float>(static_cast<double>(form_->Left()) + e.X - static_cast<double>(st.dragStartX));
    form_->Move(left, top);
    forms::DoEvents();
}

void frmMain::MainSkin_MouseUp(const forms::MouseEventArgs&) { drag_.dragging = player::kFalse; }

void frmMain::btnExit_Click() {
    player_->freeModuleIgnoringErrors();
    form_->close();
    if (nfo_ && nfo_->isLoaded()) nfo_->Unload();
}

bool frmMain::Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift, bool autoRepeat) {
    shift &= ~Qt::KeypadModifier;
    const std::function<void()>* click = nullptr;
    if (shift == Qt::ControlModifier && keyCode == Qt::Key_Q) {
        click = &exit.lit->onClick;
    } else if (shift == Qt::NoModifier) {
        switch (keyCode) {
        case Qt::Key_Left: click = &prev.lit->onClick; break;
        case Qt::Key_Right: click = &next.lit->onClick; break;
        case Qt::Key_Space: click = player_->state().isPlaying ? &stop.lit->onClick : &play.lit->onClick; break;
        case Qt::Key_Home: click = &tunes[0]->onClick; break;
        case Qt::Key_I: click = &info.lit->onClick; break;
        default: break;
        }
    }
    if (!click) return false;
    // A held arrow walks through the list; any other key held down acts once.
    if (!autoRepeat || keyCode == Qt::Key_Left || keyCode == Qt::Key_Right) (*click)();
    return true;
}

void frmMain::btnInfo_Click() {
    if (!nfo_) nfo_ = std::make_unique<nfo::frmNfo>(*env_.clock);
    nfo_->Show();
}

int frmMain::currentTrack() const { return player_->state().trackIndex; }

bool frmMain::playing() const { return player_->state().isPlaying != player::kFalse; }

int frmMain::elapsedSeconds() const { return player_->state().elapsedSeconds; }

std::string frmMain::trackTitle(int track) const {
    return tunes[static_cast<std::size_t>(std::clamp<int>(track, 0, player::kLastTrack))]->Caption();
}

bool frmMain::errorBoxOpen() const { return player_->errorBoxOpen(); }

void frmMain::nextTrack() { next.lit->onClick(); }
void frmMain::previousTrack() { prev.lit->onClick(); }
void frmMain::startPlaying() { play.lit->onClick(); }
void frmMain::stopPlaying() { stop.lit->onClick(); }
void frmMain::quit() { exit.lit->onClick(); }

void frmMain::raise() {
    QWidget& w = *form_;
    if (!w.isVisible()) return;
    w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
    w.raise();
    w.activateWindow();
}

int frmMain::listen(std::function<void()> changed) {
    return player_->listen([changed = std::move(changed)](player::Change c) {
        if (c == player::Change::Transport && changed) changed();
    });
}

void frmMain::unlisten(int id) { player_->unlisten(id); }

} // namespace mainwindow

#include "form/MainForm.h"

#include <stdexcept>

#include "form/FormState.h"
#include "form/Layout.h"

namespace vb {

MainForm::MainForm(Dialogs& dialogs, std::filesystem::path settingsFile)
    : m_state(std::make_unique<State>(dialogs, std::move(settingsFile))) {}

MainForm::~MainForm() = default;

const std::string& MainForm::title() const { return m_state->title; }

const std::vector<Control>& MainForm::controls() const { return m_state->controls; }

const Control& MainForm::control(std::string_view id) const {
    const Control* found = m_state->find(id);
    if (found == nullptr) throw std::out_of_range("no control with the id " + std::string(id));
    return *found;
}

bool MainForm::hasControl(std::string_view id) const { return m_state->find(id) != nullptr; }

Rect MainForm::absoluteRect(std::string_view id) const {
    Rect rect = control(id).rect;
    for (const Control* c = &control(id); !c->parent.empty();) {
        c = &control(c->parent);
        rect.left += c->rect.left;
        rect.top += c->rect.top;
    }
    return rect;
}

const RideRecord& MainForm::ride() const { return m_state->ride; }
const RouteView& MainForm::routeView() const { return m_state->view; }
const std::string& MainForm::my_path() const { return m_state->my_path; }

void MainForm::paintProfile(Canvas& canvas) const {
    if (m_state->imported) Paint_Route(m_state->view, m_state->ride, canvas);
}

std::uint64_t MainForm::revision() const { return m_state->revision; }
std::uint64_t MainForm::samplesRevision() const { return m_state->samplesRevision; }
std::uint64_t MainForm::profileRevision() const { return m_state->profileRevision; }

void MainForm::Form_Load() {
    m_state->guarded([&] { m_state->formLoad(); });
    m_state->finishEvent();
}

bool MainForm::Form_Unload() {
    const bool saved = m_state->formUnload();
    m_state->finishEvent();
    return saved;
}

void MainForm::press(std::string_view id) {
    if (!m_state->usable(id, ControlKind::button)) return;
    m_state->guarded([&] { m_state->press(id); });
    m_state->finishEvent();
}

void MainForm::setText(std::string_view id, std::string_view text) {
    Control* box = m_state->find(id);
    if (box == nullptr || !box->enabled || (box->kind != ControlKind::textBox && box->kind != ControlKind::numberBox) ||
        box->readOnly)
        return;
    m_state->guarded([&] { m_state->setText(*box, text); });
    m_state->finishEvent();
}

void MainForm::spin(std::string_view id, int direction) {
    if (!m_state->usable(id, ControlKind::numberBox) || direction == 0) return;
    m_state->guarded([&] { m_state->spin(*m_state->find(id), direction); });
    m_state->finishEvent();
}

void MainForm::setChecked(std::string_view id, bool checked) {
    Control* box = m_state->find(id);
    if (box == nullptr || !box->enabled) return;
    if (box->kind == ControlKind::checkBox) {
        box->checked = checked;
    } else if (box->kind == ControlKind::optionButton) {
        // An option is switched off only by choosing another of its group.
        if (!checked) return;
        for (Control& other : m_state->controls)
            if (other.kind == ControlKind::optionButton && other.parent == box->parent) other.checked = false;
        box->checked = true;
    } else {
        return;
    }
    m_state->finishEvent();
}

void MainForm::selectItem(std::string_view id, int index) {
    Control* list = m_state->find(id);
    if (list == nullptr || !list->enabled || (list->kind != ControlKind::listBox && list->kind != ControlKind::fileList))
        return;
    if (index < -1 || index >= static_cast<int>(list->items.size())) return;
    list->selected = index;
    if (index >= 0) m_state->guarded([&] { m_state->itemClicked(id); });
    m_state->finishEvent();
}

void MainForm::moveSlider(std::string_view id, int position) {
    if (!m_state->usable(id, ControlKind::slider)) return;
    m_state->guarded([&] {
        vb::moveSlider(m_state->view, id == ids::kStartSlider ? SliderIndex::start : SliderIndex::end, position);
        Show_RouteDetail(m_state->view, m_state->ride);
    });
    ++m_state->profileRevision;
    m_state->finishEvent();
}

void MainForm::selectTab(std::string_view id, int index) {
    Control* strip = m_state->find(id);
    if (strip == nullptr || !strip->enabled || strip->kind != ControlKind::tabStrip) return;
    if (index < 0 || index >= static_cast<int>(strip->items.size())) return;
    strip->value = index;
    m_state->finishEvent();
}

void MainForm::importRide(const std::filesystem::path& path) {
    m_state->guarded([&] { m_state->importFile(path); });
    m_state->finishEvent();
}

}  // namespace vb

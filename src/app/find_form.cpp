#include "app/find_form.h"

#include <algorithm>

namespace app {

using namespace toolkit;
using Outcome = find::Finding::Outcome;

namespace {

const Font kBold{"Arial", 9.75, true, false};

// The lamp of a line: found, worth a look, or nothing there; and the same in words.
std::pair<Color, const char*> lampOf(Outcome outcome) {
    switch (outcome) {
        case Outcome::Printer:
        case Outcome::Interface:
            return {colors::kGreen, "found"};
        case Outcome::UnknownReply:
        case Outcome::OtherPrinter:
        case Outcome::Held:
        case Outcome::Failed:
            return {colors::kYellow, "look at it"};
        default:
            return {colors::kLightBlue, "nothing found"};
    }
}

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

FindForm::Row::Row(Form& form, int number)
    : lamp(form, "Lamp" + std::to_string(number)),
      where(form, "Port" + std::to_string(number)),
      found(form, "Found" + std::to_string(number)),
      open(form, "Open" + std::to_string(number)) {}

FindForm::FindForm(Application& app, Program& program, bool fromPorts)
    : Form(app, "FindForm"), m_program(program), m_fromPorts(fromPorts) {
    setCaption("Find Drawers and Printers");
    setBackColor(colors::kLightBlue);
    setSize(640, 546);

    title.setCaption("Drawers and printers on this computer");
    title.setFont(Font{"Arial", 12, true, false});
    title.setForeColor(colors::kWhite);
    title.setGeometry(16, 12, 608, 24);
    Explanation.setCaption(
        "Each port is asked for a printer's status or device ID and its modem lines are read: "
        "nothing prints and no drawer opens. A port takes 2 seconds at most.");
    Explanation.setWordWrap(true);
    Explanation.setGeometry(16, 38, 608, 28);

    int top = 72;
    for (std::size_t i = 0; i < kRows; ++i) {
        Row& row = *rows()[i];
        row.lamp.setGeometry(16, top + 2, 14, 14);
        row.where.setFont(kBold);
        row.where.setForeColor(colors::kWhite);
        row.where.setGeometry(38, top, 426, 18);
        row.found.setWordWrap(true);
        row.found.setGeometry(38, top + 18, 426, 42);
        row.open.setGeometry(472, top + 8, 152, 30);
        row.open.onClick = [this, i] { open_Click(i); };
        top += 62;
    }

    Page.setGeometry(16, 448, 200, 18);
    Previous.setCaption("< Previous");
    Previous.setGeometry(424, 442, 96, 28);
    Previous.onClick = [this] { Previous_Click(); };
    Next.setCaption("Next >");
    Next.setGeometry(528, 442, 96, 28);
    Next.onClick = [this] { Next_Click(); };
    Progress.setForeColor(colors::kWhite);
    Progress.setGeometry(16, 474, 608, 18);

    exit.setCaption("<< Back");
    exit.setFont(kBold);
    exit.setGeometry(16, 500, 110, 32);
    exit.onClick = [this] { exit_Click(); };
    Again.setCaption("Find Again");
    Again.setToolTip("Ask every port again.");
    Again.setFont(kBold);
    Again.setGeometry(424, 500, 96, 32);
    Again.onClick = [this] { Again_Click(); };
    Cancel.setCaption("Cancel");
    Cancel.setToolTip("Stop at the port being asked; it is put back and closed first.");
    Cancel.setFont(kBold);
    Cancel.setGeometry(528, 500, 96, 32);
    Cancel.onClick = [this] { Cancel_Click(); };
    Search_Timer.onTimer = [this] { Search_Timer_Timer(); };
}

void FindForm::load() {
    start();
}

// Closed by its title bar while it searches: the port being asked is not left open.
void FindForm::unload() {
    finish();
}

void FindForm::start() {
    m_findings.clear();
    m_page = 0;
    m_program.startSearchLog();
    m_search.emplace(m_program.portSystem(), m_program.findCandidates(),
                     [this](const find::Finding& finding) { found(finding); });
    Again.setEnabled(false);
    Cancel.setEnabled(true);
    Progress.setCaption("Looking at " + counted(m_search->total(), "device", "devices") + "...");
    showPage();
    Search_Timer.setEnabled(true);
}

// One step a tick: a device's open, one request, or a look for its reply.
void FindForm::Search_Timer_Timer() {
    if (!m_search)
        return;
    const auto now = std::chrono::duration_cast<find::Search::Time>(app().clock().now());
    if (!m_search->step(now)) {
        searchEnded();
        return;
    }
    if (const std::string asking = m_search->progress(); !asking.empty())
        Progress.setCaption("Asking " + asking + "...");
}

void FindForm::finish() {
    if (!m_search)
        return;
    m_search->cancel();
    const auto now = std::chrono::duration_cast<find::Search::Time>(app().clock().now());
    while (m_search && m_search->step(now)) {
    }
    searchEnded();
}

void FindForm::searchEnded() {
    const bool cancelled = m_search && m_search->reported() < m_search->total();
    m_search.reset();
    Search_Timer.setEnabled(false);
    Cancel.setEnabled(false);
    Again.setEnabled(true);
    const auto foundAny = [this](Outcome outcome) {
        return std::count_if(m_findings.begin(), m_findings.end(),
                             [outcome](const find::Finding& f) { return f.outcome == outcome; });
    };
    const auto printers = static_cast<std::size_t>(foundAny(Outcome::Printer));
    const auto interfaces = static_cast<std::size_t>(foundAny(Outcome::Interface));
    Progress.setCaption(std::string(cancelled ? "Cancelled: " : "Done: ") +
                        counted(m_findings.size(), "device", "devices") + " looked at; " +
                        counted(printers, "printer", "printers") + " and " +
                        counted(interfaces, "drawer interface", "drawer interfaces") + " found.");
}

void FindForm::found(const find::Finding& finding) {
    m_findings.push_back(finding);
    showPage();
}

std::size_t FindForm::pages() const {
    return std::max<std::size_t>(1, (m_findings.size() + kRows - 1) / kRows);
}

void FindForm::showPage() {
    for (std::size_t i = 0; i < kRows; ++i) {
        Row& row = *rows()[i];
        const std::size_t index = m_page * kRows + i;
        const bool shown = index < m_findings.size();
        row.lamp.setVisible(shown);
        row.where.setVisible(shown);
        row.found.setVisible(shown);
        row.open.setVisible(shown && !m_findings[index].screen().empty());
        if (!shown)
            continue;
        const find::Finding& f = m_findings[index];
        row.where.setCaption(f.candidate.where());
        row.found.setCaption(f.summary());
        row.found.setToolTip(f.summary());
        const auto [color, meaning] = lampOf(f.outcome);
        row.lamp.setFillColor(color);
        row.lamp.setAccessibleName(f.candidate.where() + ": " + meaning);
        if (f.screen().empty())
            continue;
        row.open.setCaption("Open " + f.screenTitle());
        const std::string port = m_program.portForFound(f);
        const auto& own = f.candidate.ports;
        row.open.setEnabled(!port.empty());
        if (port.empty()) {
            row.open.setToolTip(
                "Both ports of its kind are set by their DRAWERTEST_ variables: "
                "point one of them at " +
                f.candidate.path + ".");
        } else if (std::find(own.begin(), own.end(), port) != own.end()) {
            row.open.setToolTip("Opens the " + f.screenTitle() + " on " + port + ".");
        } else {
            row.open.setToolTip("Makes " + f.candidate.path + " " + port +
                                " (kept, as the Ports dialog keeps a choice) and opens the " +
                                f.screenTitle() + ".");
        }
    }
    const std::size_t first = m_page * kRows;
    const std::size_t last = std::min(m_findings.size(), first + kRows);
    Page.setCaption(m_findings.empty()
                        ? std::string()
                        : "Devices " + std::to_string(first + 1) + " to " + std::to_string(last) +
                              " of " + std::to_string(m_findings.size()));
    Previous.setVisible(pages() > 1);
    Next.setVisible(pages() > 1);
    Previous.setEnabled(m_page > 0);
    Next.setEnabled(m_page + 1 < pages());
}

void FindForm::Previous_Click() {
    if (m_page > 0)
        --m_page;
    showPage();
}

void FindForm::Next_Click() {
    if (m_page + 1 < pages())
        ++m_page;
    showPage();
}

void FindForm::Again_Click() {
    start();
}

void FindForm::Cancel_Click() {
    if (m_search)
        m_search->cancel();
    Cancel.setEnabled(false);
    Progress.setCaption("Cancelling: the port being asked is put back and closed...");
}

void FindForm::open_Click(std::size_t row) {
    const std::size_t index = m_page * kRows + row;
    if (index >= m_findings.size())
        return;
    finish();
    m_program.openFound(m_findings[index]);
    close();
}

void FindForm::exit_Click() {
    finish();
    if (m_fromPorts && m_program.offersPortChoices()) {
        m_program.showPorts();
    } else {
        m_program.showSelector();
    }
    close();
}

}  // namespace app

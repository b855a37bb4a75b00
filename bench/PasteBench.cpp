// Times the snippet menu of a running Tessary from outside, as a person meets
// it: right-click over a GTK program, the menu on the screen; an entry chosen,
// its text in that program. Beside each figure, the same thing done by stock
// tools in the same run. Driven by bench/paste_bench.sh.
//
//   bench_paste write SHAPE FILE
//       writes the library of that shape (e.g. 10x100x100) to FILE
//   bench_paste measure SHAPE RUNS TARGET_PROGRAM [SEQUENCE [TERMINAL_PROGRAM]]
//       with Tessary running on that library and its menu switched on:
//       RUNS timed rounds, then SEQUENCE pastes in a row into two targets,
//       then as many into two shell prompts (bench/xterm_target.sh), timed
//
// Output: one tab-separated line per measure (name, runs, median ms, 95th
// percentile ms, failures), "sequence <right> <total>" and
// "sequence_terminal <right> <total>".

#include "ChildProcess.h"
#include "PasteLibrary.h"
#include "PasteProbe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = CPasteProbe::Clock;

constexpr auto kStepTimeout = 5s;
// The class instances of the programs whose menus are told apart.
const std::string kProgram = "tessary";
const std::string kTargetProgram = "bench_paste_target";

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class CSamples {
public:
    explicit CSamples(const char* name) : m_strName(name) {}
    void Add(double ms) { m_values.push_back(ms); }
    void Fail() { ++m_nFailures; }
    void Print() {
        std::sort(m_values.begin(), m_values.end());
        const std::size_t n = m_values.size();
        const double median =
            n == 0 ? NAN : (n % 2 ? m_values[n / 2] : (m_values[n / 2 - 1] + m_values[n / 2]) / 2);
        const double p95 =
            n == 0 ? NAN : m_values[static_cast<std::size_t>(std::ceil(0.95 * double(n))) - 1];
        std::printf("%s\t%zu\t%.3f\t%.3f\t%d\n", m_strName.c_str(), n, median, p95, m_nFailures);
    }

private:
    std::string m_strName;
    std::vector<double> m_values;
    int m_nFailures = 0;
};

class CTargetWindow {
public:
    int ClickX() const { return m_nX + m_nWidth / 2; }
    // The middle, or with two fields the middle of A (0) or B (1).
    int ClickY() const {
        return m_nY + (m_nField < 0 ? m_nHeight / 2 : m_nHeight * (1 + 2 * m_nField) / 4);
    }
    // Inside the target (the focus may follow the pointer) but off the menu,
    // which opens right of and below the click.
    int AwayX() const { return m_nX + 20; }
    int AwayY() const { return m_nY + 20; }

    CChildProcess m_process;
    Window m_window = 0;
    int m_nX = 0, m_nY = 0, m_nWidth = 0, m_nHeight = 0;
    int m_nField = -1;            // the field clicked, with two; -1 with one
    std::string m_strTitlePrefix; // before the text in the title: "B:" for B
};

class CPasteBench {
public:
    CPasteBench(CPasteLibrary& library, CPasteProbe& probe) : m_library(library), m_probe(probe) {}

    bool StartTarget(CTargetWindow& target, const std::string& program, const char* name, int x,
                     int y, bool twoFields = false);
    bool WaitForMenu(CTargetWindow& target);
    // Our paste of the snippet at `path` into `target`: the times from the
    // release to the menu and from the choice to the text; false on failure.
    bool PasteOurs(CTargetWindow& target, const std::vector<int>& path, double& menuMs,
                   double& pasteMs);
    // The same in one menu session after `opened` topic submenus of the
    // first area were opened and closed again on the way down to the topic
    // after them (wrapping round), its snippet `snippet`; the choice-to-text
    // time only.
    bool PasteAfterOpening(CTargetWindow& target, int opened, int snippet, double& pasteMs);
    // The target's own menu (Shift+right-click), to Escape.
    bool OwnMenu(CTargetWindow& target, double& menuMs);
    // xclip then xdotool key ctrl+v, from before xclip to the text.
    bool PasteStock(CTargetWindow& target, const std::string& text, double& pasteMs);
    void Recover(CTargetWindow& target);

private:
    // Says why a round failed, on standard error; false.
    static bool Failed(const char* why) {
        std::fprintf(stderr, "bench_paste: %s\n", why);
        return false;
    }
    bool TitleHolds(CTargetWindow& target, const std::string& text);

    CPasteLibrary& m_library;
    CPasteProbe& m_probe;
};

bool CPasteBench::StartTarget(CTargetWindow& target, const std::string& program, const char* name,
                              int x, int y, bool twoFields) {
    std::vector<std::string> args = {program, name, std::to_string(x), std::to_string(y)};
    if (twoFields)
        args.push_back("two");
    if (!target.m_process.Start(args, nullptr, true))
        return false;
    target.m_window = std::strtoul(target.m_process.ReadLine(20000).c_str(), nullptr, 10);
    if (!target.m_window)
        return false;
    m_probe.Watch(target.m_window);
    return m_probe.Geometry(target.m_window, target.m_nX, target.m_nY, target.m_nWidth,
                            target.m_nHeight);
}

bool CPasteBench::TitleHolds(CTargetWindow& target, const std::string& text) {
    const std::string title = m_probe.Title(target.m_window);
    const auto colon = title.find(':');
    return colon != std::string::npos &&
           title.compare(colon + 1, std::string::npos, target.m_strTitlePrefix + text) == 0;
}

void CPasteBench::Recover(CTargetWindow& target) {
    m_probe.Key("Escape", 4);
    m_probe.WaitNoMenu(2s);
    m_probe.Activate(target.m_window, 2s);
}

bool CPasteBench::WaitForMenu(CTargetWindow& target) {
    // The program may still be loading its library or switching on.
    const auto deadline = Clock::now() + 120s;
    while (Clock::now() < deadline) {
        m_probe.Activate(target.m_window, 2s);
        m_probe.MovePointer(target.ClickX(), target.ClickY());
        m_probe.RightClick(false);
        const bool ours = m_probe.WaitMenusAtLeast(kProgram, 1, 2s).has_value();
        // Not switched on yet, the click opened the target's own menu.
        m_probe.Key("Escape");
        m_probe.WaitNoMenu(kStepTimeout);
        if (ours)
            return true;
    }
    return false;
}

bool CPasteBench::PasteOurs(CTargetWindow& target, const std::vector<int>& path, double& menuMs,
                            double& pasteMs) {
    m_probe.MovePointer(target.ClickX(), target.ClickY());
    m_probe.Drain();
    m_probe.RightClick(false);
    const auto released = Clock::now();
    const auto mapped = m_probe.WaitMenusAtLeast(kProgram, 1, kStepTimeout);
    if (!mapped)
        return Failed("no menu at the right-click");
    menuMs = Ms(*mapped - released);

    // An item under the pointer would take the highlight from the keys.
    m_probe.MovePointer(target.AwayX(), target.AwayY());
    // Close Menu, Paste All, (separator), the root's submenu.
    m_probe.Key("Down", 3);
    for (std::size_t level = 0; level < path.size(); ++level) {
        if (level > 0)
            m_probe.Key("Down", path[level - 1]);
        m_probe.Key("Right");
        if (!m_probe.WaitMenusAtLeast(kProgram, level + 2, kStepTimeout))
            return Failed("a submenu did not open");
    }
    m_probe.Key("Down", path.back());
    m_probe.Sync();
    const long seen = m_probe.TitleChanges(target.m_window);
    m_probe.Key("Return");
    const auto chosen = Clock::now();
    const auto pasted = m_probe.WaitTitleChange(target.m_window, seen, kStepTimeout);
    if (!pasted)
        return Failed("nothing pasted");
    pasteMs = Ms(*pasted - chosen);
    if (!TitleHolds(target, m_library.Text(path)))
        return Failed("another text pasted");
    return m_probe.WaitNoMenu(kStepTimeout) || Failed("the menu stayed open");
}

bool CPasteBench::PasteAfterOpening(CTargetWindow& target, int opened, int snippet,
                                    double& pasteMs) {
    m_probe.MovePointer(target.ClickX(), target.ClickY());
    m_probe.Drain();
    m_probe.RightClick(false);
    if (!m_probe.WaitMenusAtLeast(kProgram, 1, kStepTimeout))
        return Failed("no menu at the right-click");
    m_probe.MovePointer(target.AwayX(), target.AwayY());
    // Into the root, into the first area: its first topic highlighted, and
    // its submenu open, as GTK opens the submenu of a highlighted entry.
    m_probe.Key("Down", 3);
    m_probe.Key("Right");
    if (!m_probe.WaitMenusAtLeast(kProgram, 3, kStepTimeout))
        return Failed("the root did not open");
    m_probe.Key("Right");
    if (!m_probe.WaitMenusAtLeast(kProgram, 4, kStepTimeout))
        return Failed("the area did not open");
    // Each key down closes one topic's submenu and opens the next one's.
    for (int i = 0; i < opened; ++i) {
        const long maps = m_probe.MenuMaps();
        m_probe.Key("Down");
        if (!m_probe.WaitMenuMaps(maps, kStepTimeout))
            return Failed("a topic did not open");
    }
    m_probe.Key("Right");
    m_probe.Key("Down", snippet);
    m_probe.Sync();
    const long seen = m_probe.TitleChanges(target.m_window);
    m_probe.Key("Return");
    const auto chosen = Clock::now();
    const auto pasted = m_probe.WaitTitleChange(target.m_window, seen, kStepTimeout);
    if (!pasted)
        return Failed("nothing pasted");
    pasteMs = Ms(*pasted - chosen);
    const int topics = m_library.Shape()[1];
    const std::vector<int> path = {0, opened % topics, snippet};
    if (!TitleHolds(target, m_library.Text(path)))
        return Failed("another text pasted");
    return m_probe.WaitNoMenu(kStepTimeout) || Failed("the menu stayed open");
}

bool CPasteBench::OwnMenu(CTargetWindow& target, double& menuMs) {
    m_probe.MovePointer(target.ClickX(), target.ClickY());
    m_probe.Drain();
    m_probe.RightClick(true);
    const auto released = Clock::now();
    const auto mapped = m_probe.WaitMenusAtLeast(kTargetProgram, 1, kStepTimeout);
    if (!mapped)
        return Failed("no menu of the target's own");
    menuMs = Ms(*mapped - released);
    m_probe.MovePointer(target.AwayX(), target.AwayY());
    m_probe.Key("Escape");
    return m_probe.WaitNoMenu(kStepTimeout);
}

bool CPasteBench::PasteStock(CTargetWindow& target, const std::string& text, double& pasteMs) {
    if (!m_probe.Activate(target.m_window, kStepTimeout))
        return Failed("the target did not take the focus");
    m_probe.Drain();
    const long seen = m_probe.TitleChanges(target.m_window);
    const auto started = Clock::now();
    CChildProcess xclip;
    if (!xclip.Start({"xclip", "-selection", "clipboard"}, &text) || xclip.Wait() != 0)
        return Failed("xclip failed");
    CChildProcess xdotool;
    if (!xdotool.Start({"xdotool", "key", "ctrl+v"}) || xdotool.Wait() != 0)
        return Failed("xdotool failed");
    const auto pasted = m_probe.WaitTitleChange(target.m_window, seen, kStepTimeout);
    if (!pasted)
        return Failed("nothing pasted by the stock tools");
    pasteMs = Ms(*pasted - started);
    return TitleHolds(target, text) || Failed("another text pasted by the stock tools");
}

// The place of the i-th snippet of a sequence: at most ten steps down each
// level, so the keys stay few, and a different snippet every time.
std::vector<int> SequencePath(const CPasteLibrary& library, long i) {
    std::vector<int> path;
    for (const int fanOut : library.Shape()) {
        const int radix = std::min(fanOut, 10);
        path.push_back(static_cast<int>(i % radix));
        i /= radix;
    }
    return path;
}

// `count` pastes in a row into two targets taken in turn: the right ones, the
// chosen text in the clicked target and nothing in the other. The times from
// the choice to the text go to `times` when given.
int PasteInTurn(CPasteBench& bench, CPasteProbe& probe, const CPasteLibrary& library,
                CTargetWindow& first, CTargetWindow& second, int count, CSamples* times = nullptr) {
    double menuMs = 0, pasteMs = 0;
    int right = 0;
    for (int i = 0; i < count; ++i) {
        CTargetWindow& into = i % 2 ? second : first;
        CTargetWindow& other = i % 2 ? first : second;
        const long otherSeen = probe.TitleChanges(other.m_window);
        if (bench.PasteOurs(into, SequencePath(library, i), menuMs, pasteMs) &&
            probe.TitleChanges(other.m_window) == otherSeen) {
            ++right;
            if (times)
                times->Add(pasteMs);
        } else {
            bench.Recover(into);
        }
    }
    return right;
}

int Measure(CPasteLibrary& library, int runs, const std::string& targetProgram, int sequence,
            const std::string& terminalProgram) {
    CPasteProbe probe;
    if (!probe.Open()) {
        std::fprintf(stderr, "bench_paste: no X display with XTest\n");
        return 1;
    }
    CPasteBench bench(library, probe);
    CTargetWindow first, second;
    if (!bench.StartTarget(first, targetProgram, "Paste target A", 40, 60) ||
        !bench.StartTarget(second, targetProgram, "Paste target B", 40, 420)) {
        std::fprintf(stderr, "bench_paste: the target programs did not start\n");
        return 1;
    }
    if (!bench.WaitForMenu(first)) {
        std::fprintf(stderr, "bench_paste: no snippet menu at a right-click\n");
        return 1;
    }

    const std::vector<int> firstPath(library.Shape().size(), 0);
    double menuMs = 0, pasteMs = 0;
    // The first paste fills the submenus on its way: reported on its own.
    if (bench.PasteOurs(first, firstPath, menuMs, pasteMs))
        std::printf("first_menu\t1\t%.3f\t%.3f\t0\nfirst_paste\t1\t%.3f\t%.3f\t0\n", menuMs, menuMs,
                    pasteMs, pasteMs);
    else
        bench.Recover(first);

    CSamples oursMenu("menu_ours"), ownMenu("menu_own"), oursPaste("paste_ours"),
        stockPaste("paste_stock"), latePaste("paste_ours_last10");
    for (int run = 0; run < runs; ++run) {
        // A different snippet each round, the same text for both ways.
        const std::vector<int> path = SequencePath(library, run);
        if (bench.PasteOurs(first, path, menuMs, pasteMs)) {
            oursMenu.Add(menuMs);
            oursPaste.Add(pasteMs);
            // Each round opens submenus not opened before: the late rounds
            // show the menu as it is after a while in use.
            if (run >= runs - 10)
                latePaste.Add(pasteMs);
        } else {
            oursPaste.Fail();
            bench.Recover(first);
        }
        if (bench.OwnMenu(first, menuMs))
            ownMenu.Add(menuMs);
        else {
            ownMenu.Fail();
            bench.Recover(first);
        }
        if (bench.PasteStock(first, library.Text(path), pasteMs))
            stockPaste.Add(pasteMs);
        else {
            stockPaste.Fail();
            bench.Recover(first);
        }
    }
    // Choices after 0, 60 and 200 topic submenus opened in the same menu
    // session, with the stock tools in turn: the cost of a choice must not
    // grow with what was opened before it.
    // The large library only: its areas hold 100 topics.
    if (library.Shape().size() == 3 && library.Shape()[1] >= 100) {
        const int openedCounts[] = {0, 60, 200};
        CSamples afterOpened[] = {CSamples("paste_opened_0"), CSamples("paste_opened_60"),
                                  CSamples("paste_opened_200")};
        CSamples openedStock("paste_opened_stock");
        const int rounds = std::max(1, runs / 4);
        for (int run = 0; run < rounds; ++run) {
            for (int k = 0; k < 3; ++k) {
                const int snippet = run % 10;
                if (bench.PasteAfterOpening(first, openedCounts[k], snippet, pasteMs))
                    afterOpened[k].Add(pasteMs);
                else {
                    afterOpened[k].Fail();
                    bench.Recover(first);
                }
                const std::vector<int> path = {0, openedCounts[k] % library.Shape()[1], snippet};
                if (bench.PasteStock(first, library.Text(path), pasteMs))
                    openedStock.Add(pasteMs);
                else {
                    openedStock.Fail();
                    bench.Recover(first);
                }
            }
        }
        for (CSamples& samples : afterOpened)
            samples.Print();
        openedStock.Print();
    }
    oursMenu.Print();
    ownMenu.Print();
    oursPaste.Print();
    latePaste.Print();
    stockPaste.Print();
    std::fflush(stdout);

    if (sequence > 0) {
        std::printf("sequence\t%d\t%d\n",
                    PasteInTurn(bench, probe, library, first, second, sequence), sequence);
        std::fflush(stdout);
    }
    if (sequence > 0 && !terminalProgram.empty()) {
        // Beside the other two, so that every click lands on its own target.
        CTargetWindow firstShell, secondShell;
        if (!bench.StartTarget(firstShell, terminalProgram, "Shell A", 640, 60) ||
            !bench.StartTarget(secondShell, terminalProgram, "Shell B", 640, 420)) {
            std::fprintf(stderr, "bench_paste: the terminals did not start\n");
            return 1;
        }
        CSamples shellPaste("paste_terminal");
        const int right =
            PasteInTurn(bench, probe, library, firstShell, secondShell, sequence, &shellPaste);
        shellPaste.Print();
        std::printf("sequence_terminal\t%d\t%d\n", right, sequence);
    }
    // Two fields, the focus in A: a paste into A, and one into B, which gets
    // the focus through the accessibility bus first. Below the terminals.
    CTargetWindow form;
    if (!bench.StartTarget(form, targetProgram, "Paste target form", 660, 760, true)) {
        std::fprintf(stderr, "bench_paste: the two-field target did not start\n");
        return 1;
    }
    CSamples focused("paste_field_focused"), moved("paste_field_moved");
    for (int run = 0; run < runs; ++run) {
        const std::vector<int> path = SequencePath(library, run);
        for (int field : {0, 1}) {
            form.m_nField = field;
            form.m_strTitlePrefix = field ? "B:" : "A:";
            CSamples& samples = field ? moved : focused;
            if (bench.PasteOurs(form, path, menuMs, pasteMs))
                samples.Add(pasteMs);
            else {
                samples.Fail();
                bench.Recover(form);
            }
        }
    }
    focused.Print();
    moved.Print();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CPasteLibrary library;
    if (argc == 4 && std::string(argv[1]) == "write" && library.SetShape(argv[2]))
        return library.Write(argv[3]) ? 0 : 1;
    if (argc >= 5 && argc <= 7 && std::string(argv[1]) == "measure" && library.SetShape(argv[2]))
        return Measure(library, std::atoi(argv[3]), argv[4], argc >= 6 ? std::atoi(argv[5]) : 0,
                       argc == 7 ? argv[6] : "");
    std::fprintf(
        stderr,
        "usage: bench_paste write SHAPE FILE\n"
        "       bench_paste measure SHAPE RUNS TARGET_PROGRAM [SEQUENCE [TERMINAL_PROGRAM]]\n");
    return 2;
}

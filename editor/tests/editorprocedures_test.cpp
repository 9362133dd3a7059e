// The editor's procedures on their own, through an EditorUi that records
// what the views are told and answers as the test says: the same in both
// builds, whatever window shows them.
#include "displaytext.h"
#include "editorprocedures.h"
#include "files.h"
#include "openpackage.h"
#include "tempdir.h"
#include "texttools.h"
#include "wavewriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using vesk::Editor;
using vesk::EditorUi;
using Answer = vesk::Prompts::Answer;

class RecordingUi final : public EditorUi
{
public:
    std::vector<std::string> told;        // what the views were told, in order
    std::vector<std::string> messages;    // every message box's text
    std::deque<Answer> answers;           // for the questions, in turn
    std::deque<std::string> chosenFiles;  // the file dialog's, in turn; none is a cancel
    std::vector<std::string> playedFiles; // what the sound service was given

    void message(const std::string &text, bool) override { messages.push_back(text); }
    Answer ask(const std::string &text, bool) override
    {
        told.push_back("ask " + text);
        const Answer answer = answers.empty() ? Answer::No : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    // A progress window the player cancels after `cancelAfter` steps.
    std::optional<int> cancelAfter;
    std::unique_ptr<vesk::Progress> startProgress(const std::string &) override
    {
        struct Cancelling final : vesk::Progress
        {
            int left;
            explicit Cancelling(int steps) : left(steps) {}
            bool advance(const std::string &, double) override { return left-- > 0; }
        };
        if (cancelAfter)
            return std::make_unique<Cancelling>(*cancelAfter);
        return std::make_unique<vesk::NoProgress>();
    }
    std::optional<std::string> openFile(Files) override { return chosen(); }
    std::optional<std::string> saveFile(Files) override { return chosen(); }
    void offerFileName(const std::string &path) override { told.push_back("offer " + path); }
    void setBusy(bool) override {}
    void playSound(const std::string &name) override { playedFiles.push_back(name); }
    void showTheme() override { told.push_back("theme"); }
    void showSlot(int index) override { told.push_back("slot " + std::to_string(index)); }
    void showSelection() override { told.push_back("selection"); }
    void showLink(size_t row) override { told.push_back("link " + std::to_string(row)); }
    void linksChanging(const LinkChange &change) override { told.push_back("changing " + named(change)); }
    void linksChanged(const LinkChange &change) override { told.push_back("changed " + named(change)); }
    void showHistory() override { ++historyShown; }
    void showPage(Page page) override { pages.push_back(page); }
    int historyShown = 0;
    std::vector<Page> pages;

private:
    std::optional<std::string> chosen()
    {
        if (chosenFiles.empty())
            return std::nullopt;
        std::string file = chosenFiles.front();
        chosenFiles.pop_front();
        return file;
    }
    static std::string named(const LinkChange &change)
    {
        switch (change.kind) {
        case LinkChange::Kind::All:
            return "all";
        case LinkChange::Kind::Appended:
            return "appended " + std::to_string(change.row);
        case LinkChange::Kind::Erased:
            return "erased " + std::to_string(change.row);
        }
        return {};
    }
};

class EditorProceduresTest : public TempDirTest
{
protected:
    Editor m_editor;
    RecordingUi m_ui;
};

// Only the procedures change the links, each change told to the views
// before and after; a removal leaves no link selected.
TEST_F(EditorProceduresTest, linksChangeOnlyThroughTheProceduresAndTheViewsAreToldAround)
{
    vesk::addLink(m_editor, m_ui, {"Home", "http://home"});
    vesk::addLink(m_editor, m_ui, {"Forum", "http://forum"});
    vesk::removeLink(m_editor, m_ui);    // none selected: nothing happens
    vesk::selectLink(m_editor, m_ui, 5); // no such link: nothing happens
    vesk::selectLink(m_editor, m_ui, 0);
    vesk::removeLink(m_editor, m_ui);
    EXPECT_EQ(m_ui.told,
              (std::vector<std::string>{"changing appended 0", "changed appended 0", "changing appended 1",
                                        "changed appended 1", "link 0", "changing erased 0", "changed erased 0"}));
    EXPECT_EQ(m_editor.theme.links(), (std::vector<vesk::Link>{{"Forum", "http://forum"}}));
    EXPECT_FALSE(m_editor.selectedLink);
    EXPECT_TRUE(m_editor.theme.changed());
}

TEST_F(EditorProceduresTest, slotButtonsAddFileAndRemoveFileActOnTheSelectedSlot)
{
    const struct
    {
        const char *what;
        std::vector<std::string> files; // what the file dialog gives, in turn
        void (*act)(Editor &, EditorUi &);
        std::string slot32; // slot 32's value after
    } cases[] = {
        {"a file chosen",
         {"/sounds/boom.wav"},
         [](Editor &e, EditorUi &u) { vesk::addFile(e, u); },
         "/sounds/boom.wav"},
        {"the dialog cancelled", {}, [](Editor &e, EditorUi &u) { vesk::addFile(e, u); }, "none"},
        {"a file removed",
         {"/sounds/boom.wav"},
         [](Editor &e, EditorUi &u) {
             vesk::addFile(e, u);
             vesk::removeFile(e, u);
         },
         "none"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Editor editor;
        RecordingUi ui;
        ui.chosenFiles.assign(c.files.begin(), c.files.end());
        vesk::selectSlot(editor, ui, 32);
        c.act(editor, ui);
        EXPECT_EQ(editor.selectedSlot, 32);
        EXPECT_EQ(editor.theme.slot(32), c.slot32);
        EXPECT_EQ(editor.theme.slot(1), "none");
        EXPECT_EQ(ui.told.front(), "selection");
        EXPECT_EQ(editor.theme.changed(), !c.files.empty());
    }
}

// Every kind of change is one step, named in the Edit menu: undone, the
// theme is exactly as before, unchanged again, and what changed is
// selected and brought to the front; redone, exactly as after.
TEST_F(EditorProceduresTest, everyChangeIsOneStepUndoneAndRedoneExactly)
{
    using Page = EditorUi::Page;
    const struct
    {
        std::string step;
        void (*act)(Editor &, RecordingUi &);
        std::optional<Page> page;   // none: the main window shows no description
        int slot = 0;               // selected after Undo
        std::optional<size_t> link; // selected after Undo
    } cases[] = {
        {"Add File to " + vesk::slotName(6),
         [](Editor &e, RecordingUi &u) {
             u.chosenFiles = {"/s/b\xff\xfe.wav"};
             vesk::selectSlot(e, u, 6);
             vesk::addFile(e, u);
             vesk::selectSlot(e, u, 40);
         },
         Page::Slots,
         6,
         {}},
        {"Add File to " + vesk::slotName(2), // a drop over a sound with an edit
         [](Editor &e, RecordingUi &u) { vesk::chooseSlotFile(e, u, 2, "/s/dropped.wav"); },
         Page::Slots,
         2,
         {}},
        {"Remove File from " + vesk::slotName(2),
         [](Editor &e, RecordingUi &u) {
             vesk::selectSlot(e, u, 2);
             vesk::removeFile(e, u);
         },
         Page::Slots,
         2,
         {}},
        {"Edit Sound of " + vesk::slotName(2),
         [](Editor &e, RecordingUi &u) {
             vesk::SoundEdit edit = e.theme.edit(2);
             edit.fadeIn = 1000;
             vesk::keepSoundEdit(e, u, 2, edit);
         },
         Page::Slots,
         2,
         {}},
        {"Add Link",
         [](Editor &e, RecordingUi &u) {
             vesk::addLink(e, u, {"", "http://c"});
         },
         Page::Links,
         0,
         {}},
        {"Remove Link",
         [](Editor &e, RecordingUi &u) {
             vesk::selectLink(e, u, 0);
             vesk::removeLink(e, u);
         },
         Page::Links, 0, 0},
        {"Package Description",
         [](Editor &e, RecordingUi &u) {
             vesk::PackageDescription description;
             description.theme.themename = "Ocean";
             vesk::keepPackageDescription(e, u, description);
             vesk::keepPackageDescription(e, u, description); // as it is: no second step
             vesk::undo(e, u);
             vesk::redo(e, u);
         },
         std::nullopt,
         0,
         {}},
    };
    const auto lines = [](const Editor &editor) {
        std::vector<std::string> all;
        EXPECT_TRUE(vesk::projectFileLines(editor.theme.project(), all).ok());
        return all;
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.step);
        Editor editor;
        RecordingUi ui;
        vesk::Project start;
        start.slots[1] = "/s/a.wav";
        start.edits[1].gain = -3;
        start.links = {{"A", "http://a"}, {"B", "http://b"}};
        editor.theme.load(start);
        EXPECT_EQ(vesk::undoCaption(editor.theme), "&Undo");
        const std::vector<std::string> before = lines(editor);
        c.act(editor, ui);
        const std::vector<std::string> after = lines(editor);
        ASSERT_NE(after, before);
        EXPECT_TRUE(editor.theme.changed());
        EXPECT_EQ(vesk::undoCaption(editor.theme), "&Undo " + c.step);
        EXPECT_EQ(vesk::redoCaption(editor.theme), "&Redo");

        vesk::undo(editor, ui);
        EXPECT_EQ(lines(editor), before);
        EXPECT_FALSE(editor.theme.changed());
        EXPECT_EQ(vesk::undoCaption(editor.theme), "&Undo");
        EXPECT_EQ(vesk::redoCaption(editor.theme), "&Redo " + c.step);
        EXPECT_EQ(ui.pages.empty() ? std::nullopt : std::optional<Page>(ui.pages.back()), c.page);
        if (c.page == Page::Slots) {
            EXPECT_EQ(editor.selectedSlot, c.slot);
            EXPECT_EQ(editor.playName, editor.theme.slot(c.slot));
        }
        EXPECT_EQ(editor.selectedLink, c.link);

        vesk::redo(editor, ui);
        EXPECT_EQ(lines(editor), after);
        EXPECT_TRUE(editor.theme.changed());
        vesk::redo(editor, ui); // nothing left to redo
        EXPECT_EQ(lines(editor), after);
        EXPECT_GT(ui.historyShown, 0);
    }
}

// Whether the theme is changed follows the history: undone back to what was
// saved it is unchanged; a new step where the saved one was undone leaves
// the saved state behind for good; selecting is no step.
TEST_F(EditorProceduresTest, theUnsavedStateFollowsTheHistory)
{
    m_ui.chosenFiles = {path("one.vsk")};
    vesk::chooseSlotFile(m_editor, m_ui, 1, "/s/1.wav");
    ASSERT_TRUE(vesk::saveProject(m_editor, m_ui));
    EXPECT_EQ(m_editor.projectPath, path("one.vsk"));
    vesk::chooseSlotFile(m_editor, m_ui, 1, "/s/2.wav");
    vesk::selectSlot(m_editor, m_ui, 9);
    vesk::selectLink(m_editor, m_ui, 0);
    const std::vector<std::pair<void (*)(Editor &, EditorUi &), bool>> walk
        = {{vesk::undo, false}, {vesk::undo, true}, {vesk::redo, false}, {vesk::redo, true}, {vesk::undo, false}};
    for (size_t i = 0; i < walk.size(); ++i) {
        walk[i].first(m_editor, m_ui);
        EXPECT_EQ(m_editor.theme.changed(), walk[i].second) << "step " << i;
    }
    vesk::undo(m_editor, m_ui);
    vesk::chooseSlotFile(m_editor, m_ui, 3, "/s/3.wav");
    vesk::undo(m_editor, m_ui);
    EXPECT_EQ(m_editor.theme.slot(1), "none");
    EXPECT_TRUE(m_editor.theme.changed());
    // A thousand steps and more are kept.
    for (int i = 0; i < 1200; ++i)
        vesk::chooseSlotFile(m_editor, m_ui, 1 + i % 47, "/s/" + std::to_string(i) + ".wav");
    for (int i = 0; i < 1200; ++i)
        vesk::undo(m_editor, m_ui);
    EXPECT_EQ(m_editor.theme.slot(1), "none");
    EXPECT_EQ(vesk::undoCaption(m_editor.theme), "&Undo");
    EXPECT_EQ(vesk::redoCaption(m_editor.theme), "&Redo Add File to " + vesk::slotName(1));
}

// The recent list keeps the last eight, newest first, each once, as bytes;
// a damaged, foreign or newer list is named and left aside.
TEST_F(EditorProceduresTest, recentProjectsKeepTheLastEightAndLeaveDamagedListsAside)
{
    const std::string file = vesk::recentProjectsFile(path("vesk.cfg"));
    EXPECT_EQ(file, path("vesk-recent.cfg"));
    m_editor.recentProjects = vesk::RecentProjects(file);
    vesk::readRecentProjects(m_editor, m_ui);
    EXPECT_TRUE(m_ui.messages.empty());
    std::vector<std::string> projects;
    for (int i = 0; i < 10; ++i) {
        projects.push_back(path("t" + std::to_string(i) + "\xc3\xa9.vsk"));
        EXPECT_TRUE(vesk::saveProject(projects.back(), m_editor.theme.project()).ok());
        m_ui.chosenFiles = {projects.back()};
        ASSERT_TRUE(vesk::openProjectFromDialog(m_editor, m_ui));
    }
    ASSERT_TRUE(vesk::openProject(m_editor, m_ui, projects[5]));
    vesk::RecentProjects read(file);
    EXPECT_FALSE(read.read());
    EXPECT_EQ(read.paths(), (std::vector<std::string>{projects[5], projects[9], projects[8], projects[7], projects[6],
                                                      projects[4], projects[3], projects[2]}));
    EXPECT_EQ(vesk::recentItemCaption(1, "/a/R&B.vsk"), "&1 R&&B.vsk");

    // One that is gone is said so and taken off.
    std::filesystem::remove(vesk::fsPath(projects[9]));
    EXPECT_FALSE(vesk::openRecentProject(m_editor, m_ui, 1));
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0], projects[9] + " no longer exists. It is taken off the list of recent projects.");
    EXPECT_EQ(m_editor.recentProjects.paths().size(), 7u);
    vesk::clearRecentProjects(m_editor, m_ui);
    EXPECT_FALSE(read.read());
    EXPECT_TRUE(read.paths().empty());

    const struct
    {
        std::string bytes, why;
    } damaged[] = {
        {"", "it is no list of recent projects"},
        {"[links]\r\n/a.vsk\r\n", "it is no list of recent projects"},
        {"VESK recent projects 2\r\n/a.vsk\r\n", "it was written by another version of VESK (2)"},
        {"VESK recent projects 1\r\n/a.vsk\r\n\r\n", "it holds an empty name"},
        {"VESK recent projects 1" + std::string(9, '\n') + "x", "it holds more than 8 projects"},
    };
    for (const auto &d : damaged) {
        writeBytes(file, d.bytes);
        const std::optional<std::string> why = read.read();
        ASSERT_TRUE(why) << d.why;
        EXPECT_EQ(*why, "The list of recent projects " + file + " is left aside: " + d.why + ".");
        EXPECT_TRUE(read.paths().empty());
    }
}

// Recovery: each editor keeps its own file and never takes a running one's;
// the file of one that ended without closing is offered at the next start
// (Yes: its changes unsaved, to their project or, where it is gone, a new
// theme; No: the file stays); damaged files are named and left as they are.
TEST_F(EditorProceduresTest, recoveryOffersWhatAnEditorThatEndedLeftAndKeepsEachEditorsOwn)
{
    const std::string settings = path("vesk.cfg");
    const auto awaitFile = [](vesk::Recovery &recovery, Editor &editor, RecordingUi &ui) {
        // The write runs in the background; the next call collects it.
        for (int i = 0; i < 2000 && !std::filesystem::exists(recovery.file()); ++i) {
            vesk::keepRecovery(editor, ui, recovery);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        vesk::keepRecovery(editor, ui, recovery);
    };
    std::string crashed;
    {
        auto first = std::make_unique<vesk::Recovery>(settings), second = std::make_unique<vesk::Recovery>(settings);
        Editor a, b;
        vesk::offerRecovery(a, m_ui, *first);
        vesk::offerRecovery(b, m_ui, *second);
        EXPECT_NE(first->file(), second->file());
        vesk::keepRecovery(a, m_ui, *first); // nothing unsaved: nothing written
        EXPECT_FALSE(std::filesystem::exists(first->file()));
        ASSERT_TRUE(vesk::saveProject(path("ocean.vsk"), a.theme.project()).ok());
        ASSERT_TRUE(vesk::openProject(a, m_ui, path("ocean.vsk")));
        vesk::chooseSlotFile(a, m_ui, 5, "/s/\xe9.wav");
        vesk::addLink(a, m_ui, {"N", "http://n"});
        awaitFile(*first, a, m_ui);
        vesk::chooseSlotFile(b, m_ui, 6, "/s/b.wav");
        awaitFile(*second, b, m_ui);
        // A third editor finds none while both run.
        Editor c;
        RecordingUi quiet;
        vesk::Recovery third(settings);
        vesk::offerRecovery(c, quiet, third);
        EXPECT_TRUE(quiet.told.empty());
        // b closes: its file goes; a ends without closing.
        second->discard();
        crashed = first->file();
        EXPECT_TRUE(std::filesystem::exists(crashed));
    }
    const struct
    {
        Answer answer;
        bool projectGone;
    } cases[] = {{Answer::No, false}, {Answer::Yes, false}, {Answer::Yes, true}};
    for (const auto &c : cases) {
        if (c.projectGone)
            std::filesystem::remove(path("ocean.vsk"));
        Editor editor;
        RecordingUi ui;
        ui.answers = {c.answer};
        vesk::Recovery recovery(settings);
        vesk::offerRecovery(editor, ui, recovery);
        ASSERT_EQ(recovery.file(), crashed);
        ASSERT_FALSE(ui.told.empty());
        EXPECT_EQ(
            ui.told[0].rfind("ask VESK did not close properly. Recover the unsaved changes to ocean.vsk from ", 0), 0u)
            << ui.told[0];
        EXPECT_EQ(editor.theme.changed(), c.answer == Answer::Yes);
        if (c.answer == Answer::Yes) {
            EXPECT_EQ(editor.theme.slot(5), "/s/\xe9.wav");
            EXPECT_EQ(editor.theme.links(), (std::vector<vesk::Link>{{"N", "http://n"}}));
            EXPECT_EQ(editor.projectPath, c.projectGone ? "" : path("ocean.vsk"));
        }
        // Declined, it is kept through a close that wrote nothing.
        recovery.discard();
        EXPECT_EQ(std::filesystem::exists(crashed), c.answer == Answer::No);
        if (c.answer == Answer::Yes) { // left again, as a crash leaves it
            vesk::RecoveredTheme theme{c.projectGone ? "" : path("ocean.vsk"), 0, editor.theme.project()};
            ASSERT_TRUE(vesk::writeTextFileAtomically(crashed, vesk::recoveryFileLines(theme)).ok());
        }
    }

    const struct
    {
        std::string bytes, why;
    } damaged[] = {
        {"", "it is empty"},
        {"VESK recent projects 1\r\n", "it is no recovery file of VESK"},
        {"VESK recovery 9\r\n0\r\n\r\n", "it was written by another version of VESK (9)"},
        {"VESK recovery 1\r\nnoon\r\n\r\n", "its time is no number"},
        {"VESK recovery 1\r\n0\r\n", "it ends early"},
    };
    for (const auto &d : damaged) {
        writeBytes(crashed, d.bytes);
        RecordingUi ui;
        Editor editor;
        vesk::Recovery recovery(settings);
        vesk::offerRecovery(editor, ui, recovery);
        ASSERT_EQ(ui.messages.size(), 1u) << d.why;
        EXPECT_EQ(ui.messages[0], "The recovery file " + crashed + " is left aside: " + d.why + ".");
        EXPECT_TRUE(ui.told.empty());
        EXPECT_FALSE(editor.theme.changed());
        recovery.discard();
        EXPECT_EQ(readBytes(crashed), d.bytes);
    }
    writeBytes(crashed, "VESK recovery 1\r\n0\r\n\r\n47 slots? no");
    EXPECT_EQ(vesk::readRecoveryFile(crashed).error().rfind(
                  "The recovery file " + crashed + " is left aside: its theme is damaged: ", 0),
              0u);
}

// A settings location where nothing can be written is said once, and the
// editor works on: projects open, changes are kept in the session.
TEST_F(EditorProceduresTest, anUnwritableSettingsLocationIsSaidOnce)
{
    writeBytes(path("file"), "a file where the settings' folder should be");
    const std::string settings = path("file") + "/vesk.cfg";
    m_editor.recentProjects = vesk::RecentProjects(vesk::recentProjectsFile(settings));
    vesk::readRecentProjects(m_editor, m_ui);
    vesk::Recovery recovery(settings);
    vesk::offerRecovery(m_editor, m_ui, recovery);
    ASSERT_TRUE(vesk::saveProject(path("a.vsk"), m_editor.theme.project()).ok());
    ASSERT_TRUE(vesk::openProject(m_editor, m_ui, path("a.vsk")));
    vesk::chooseSlotFile(m_editor, m_ui, 1, "/s/1.wav");
    vesk::keepRecovery(m_editor, m_ui, recovery);
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_NE(m_ui.messages[0].find(path("file")), std::string::npos) << m_ui.messages[0];
    EXPECT_EQ(m_editor.recentProjects.paths(), std::vector<std::string>{path("a.vsk")});
}

// Unsaved changes before leaving: Yes saves (and stays when the save is
// cancelled), No goes on, Cancel stays.
TEST_F(EditorProceduresTest, unsavedChangesAreAskedAboutBeforeTheyAreLost)
{
    const struct
    {
        const char *what;
        bool changed;
        Answer answer;
        bool saveChosen;
        bool mayLeave, saved;
    } cases[] = {
        {"nothing changed", false, Answer::Cancel, false, true, false},
        {"yes, saved", true, Answer::Yes, true, true, true},
        {"yes, then the save cancelled", true, Answer::Yes, false, false, false},
        {"no", true, Answer::No, false, true, false},
        {"cancel", true, Answer::Cancel, true, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Editor editor;
        RecordingUi ui;
        if (c.changed)
            vesk::addLink(editor, ui, {"Clan", "http://clan"});
        ui.told.clear();
        ui.answers = {c.answer};
        const std::string project = path(std::string(c.what) + ".vsk");
        if (c.saveChosen)
            ui.chosenFiles = {project};
        EXPECT_EQ(vesk::mayDiscardChanges(editor, ui, vesk::Leaving::Closing), c.mayLeave);
        if (c.changed)
            EXPECT_EQ(ui.told.front(), "ask Save the changes to this theme before closing?");
        else
            EXPECT_TRUE(ui.told.empty());
        EXPECT_EQ(vesk::readFile(project, vesk::kProjectFileLimit, vesk::Overflow::Refuse).ok(), c.saved);
        EXPECT_EQ(editor.theme.changed(), c.changed && !c.saved);
    }
}

// Open: a project is read into the model and every view shown anew; a file
// that is no project is named in the message and leaves the theme as it was.
TEST_F(EditorProceduresTest, openReadsAProjectOrSaysWhyNot)
{
    vesk::addLink(m_editor, m_ui, {"Clan", "http://clan"});
    vesk::chooseSlotFile(m_editor, m_ui, 4, "/sounds/mine.wav");
    m_ui.chosenFiles = {path("kept.vsk")};
    ASSERT_TRUE(vesk::saveProject(m_editor, m_ui));

    Editor opened;
    RecordingUi ui;
    ASSERT_TRUE(vesk::writeFile(path("text.vsk"), "no project at all").ok());
    EXPECT_FALSE(vesk::openProject(opened, ui, path("text.vsk")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find(path("text.vsk")), std::string::npos) << ui.messages[0];
    EXPECT_TRUE(opened.theme.links().empty());

    ui.told.clear();
    EXPECT_TRUE(vesk::openProject(opened, ui, path("kept.vsk")));
    EXPECT_EQ(opened.theme.project().slots, m_editor.theme.project().slots);
    EXPECT_EQ(opened.theme.links(), m_editor.theme.links());
    EXPECT_FALSE(opened.theme.changed());
    EXPECT_EQ(ui.told, (std::vector<std::string>{"changing all", "changed all", "theme", "offer " + path("kept.vsk")}));
}

// Open Package asks where the copies go (offering "THEME NAME sounds"),
// asks before it copies in beside other files, and opens an unsaved theme
// of the copies; a package it refuses, or a No, leaves the theme as it was.
TEST_F(EditorProceduresTest, openPackageOpensAnUnsavedThemeOfCopiesOrLeavesTheThemeAlone)
{
    std::filesystem::create_directories(m_dir / "Ocean");
    writeBytes(path("Ocean/theme.cfg"), "Ann\r\n\r\n\r\n12\r\nBlue\r\nBlack\r\nOcean: Deep\r\n");
    writeBytes(path("Ocean/gun2.wa2"), "gun");
    vesk::chooseSlotFile(m_editor, m_ui, 4, "/sounds/mine.wav");
    const vesk::Project before = m_editor.theme.project();

    m_ui.answers = {Answer::No}; // keep the changes unsaved
    m_ui.chosenFiles = {path("notes.txt")};
    writeBytes(path("notes.txt"), "no package");
    EXPECT_FALSE(vesk::openPackageFromDialog(m_editor, m_ui));
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_NE(m_ui.messages[0].find("is no theme package"), std::string::npos) << m_ui.messages[0];

    std::filesystem::create_directories(m_dir / "taken");
    writeBytes(path("taken/mine.txt"), "mine");
    m_ui.answers = {Answer::No, Answer::No}; // unsaved changes; the folder that holds files
    m_ui.chosenFiles = {path("taken")};
    m_ui.told.clear();
    EXPECT_FALSE(vesk::openPackage(m_editor, m_ui, path("Ocean")));
    EXPECT_EQ(m_ui.told.at(1), "offer " + path("Ocean_ Deep sounds")) << "a name Windows takes";
    EXPECT_NE(m_ui.told.back().find("already holds other files (mine.txt)"), std::string::npos) << m_ui.told.back();
    EXPECT_EQ(vesk::entriesIn(path("taken")), std::vector<std::string>{"mine.txt"});
    EXPECT_EQ(m_editor.theme.project().slots, before.slots);

    m_ui.answers = {Answer::No};
    m_ui.chosenFiles = {path("Ocean_ Deep sounds")};
    m_ui.told.clear();
    ASSERT_TRUE(vesk::openPackage(m_editor, m_ui, path("Ocean")));
    EXPECT_EQ(m_editor.theme.slot(4), "none");
    EXPECT_EQ(m_editor.theme.slot(8), vesk::joinPath(path("Ocean_ Deep sounds"), "Guns, Level 2.wav"));
    ASSERT_TRUE(m_editor.theme.description());
    EXPECT_EQ(m_editor.theme.description()->theme.font, "12");
    EXPECT_TRUE(m_editor.theme.changed());
    EXPECT_TRUE(m_editor.projectPath.empty());
    EXPECT_EQ(m_ui.told.back(), "offer " + vesk::joinPath(path("Ocean_ Deep sounds"), "Ocean_ Deep.vsk"));
}

// Convert and Restore need the game directory first; Restore with nothing
// backed up says so and asks nothing.
TEST_F(EditorProceduresTest, convertAndRestoreSayWhatTheyLack)
{
    const struct
    {
        const char *what;
        std::optional<std::string> game;
        void (*act)(Editor &, EditorUi &);
        std::string said;
    } cases[] = {
        {"convert without a game directory", std::nullopt, [](Editor &e, EditorUi &u) { vesk::convert(e, u); },
         vesk::kNoGameDirectory},
        {"restore without a game directory", std::nullopt, [](Editor &e, EditorUi &u) { vesk::restore(e, u); },
         vesk::kNoGameDirectory},
        {"restore with nothing backed up", dir(), [](Editor &e, EditorUi &u) { vesk::restore(e, u); },
         "There are no original sounds to restore in " + dir() + "."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Editor editor;
        RecordingUi ui;
        editor.gameDirectory = c.game;
        c.act(editor, ui);
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.said});
        EXPECT_TRUE(ui.told.empty()); // no question
    }
}

// Match takes each sound's figures from the background analysis, and
// measures again only a sound its edit cuts: the gain fits what is heard.
// Cancelled while it waits, it changes nothing.
TEST_F(EditorProceduresTest, matchingTheThemeFitsTheSoundsAsEditedOrChangesNothing)
{
    // 1 kHz at 44.1 kHz mono: `loud` amplitude for the first half second,
    // `quiet` for the second.
    const auto tone = [&](const std::string &name, double loud, double quiet) {
        vesk::WaveWriter out(path(name), {44100, 1, 16});
        std::vector<std::int16_t> samples(44100);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(
                std::lrint((i < 22050 ? loud : quiet) * 32767
                           * std::sin(2 * 3.14159265358979323846 * 1000 * double(i) / 44100.0)));
        EXPECT_TRUE(out.write(samples.data(), samples.size()).ok());
        EXPECT_TRUE(out.finish().ok());
        return path(name);
    };
    std::filesystem::create_directory(path("game"));
    for (int k : {1, 2})
        tone("game/" + std::string(vesk::slotInfo(k).gameFile), 0.125, 0.125);
    writeBytes(path("words.wav"), "no sound at all");
    vesk::SlotMeasurements measurements({});
    for (const std::optional<int> cancelAfter : {std::optional<int>(), std::optional<int>(0)}) {
        Editor editor;
        RecordingUi ui;
        ui.cancelAfter = cancelAfter;
        editor.gameDirectory = path("game");
        editor.theme.setSlot(1, tone("plain.wav", 0.5, 0.5));
        editor.theme.setSlot(2, tone("cut.wav", 0.5, 0.05));
        vesk::SoundEdit cut;
        cut.start = vesk::kMicrosPerSecond / 2; // only the quiet half is heard
        editor.theme.setEdit(2, cut);
        editor.theme.setSlot(3, path("words.wav"));
        // A long path: the report still fits the screen, a line of it at most
        // some 130 characters.
        const std::string deep = path(std::string(80, 'd'));
        std::filesystem::create_directory(deep);
        editor.theme.setSlot(4, tone(std::string(80, 'd') + "/deep.wav", 0.5, 0.5));
        vesk::matchThemeLoudness(editor, ui, measurements);
        if (cancelAfter) {
            EXPECT_TRUE(ui.messages.empty());
            EXPECT_EQ(editor.theme.edit(1), vesk::SoundEdit());
            EXPECT_EQ(editor.theme.edit(2), cut);
            continue;
        }
        EXPECT_NEAR(editor.theme.edit(1).gain, 20 * std::log10(0.25), 0.1);
        EXPECT_NEAR(editor.theme.edit(2).gain, 20 * std::log10(0.125 / 0.05), 0.1);
        EXPECT_EQ(editor.theme.edit(2).start, cut.start);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].find("Not matched:\n" + vesk::slotDescription(3) + " "
                                      + vesk::shortenedInMiddle(path("words.wav"), 60) + ": not a sound file"),
                  std::string::npos)
            << ui.messages[0];
        for (const std::string_view line : vesk::textLines(ui.messages[0]))
            EXPECT_LE(std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }), 145) << line;
        EXPECT_NEAR(editor.theme.edit(4).gain, 20 * std::log10(0.25), 0.1);
        // The whole match is one step.
        EXPECT_EQ(vesk::undoCaption(editor.theme), "&Undo Match Loudness to the Game");
        vesk::undo(editor, ui);
        EXPECT_EQ(editor.theme.edit(1), vesk::SoundEdit());
        EXPECT_EQ(editor.theme.edit(2), cut);
        EXPECT_EQ(editor.theme.edit(4), vesk::SoundEdit());
        EXPECT_EQ(editor.theme.slot(4), path(std::string(80, 'd') + "/deep.wav"));
    }
}

// Convert asks once about the long sounds and once about the unusable ones,
// naming every one, with the lengths and reasons the rows show: damage found
// part way included, after every sound has been measured.
TEST_F(EditorProceduresTest, convertAsksOnceOfEverySoundAsTheRowsShowIt)
{
    const std::string data = VESK_SOUND_DATA;
    std::filesystem::create_directory(path("game"));
    for (int k = 1; k <= 6; ++k)
        writeBytes(path("game/" + std::string(vesk::slotInfo(k).gameFile)), readBytes(data + "/pcm8.wav"));
    for (const char *name : {"pcm24.wav", "float.wav"}) {
        const std::string whole = readBytes(data + "/" + name);
        writeBytes(path(std::string("cut-") + name), whole.substr(0, whole.size() * 2 / 5)); // 0.5 s claimed
    }
    writeBytes(path("words.mp3"), "no sound at all");
    writeBytes(path("long.wav"), wave(1, 1, 22050, 16, std::string(2 * 22050 * 7 / 2, '\0'))); // 3.5 s
    const struct
    {
        int slot;
        std::string file;
    } slots[] = {
        {1, path("words.mp3")}, {2, path("cut-pcm24.wav")}, {3, path("cut-float.wav")},
        {4, path("long.wav")},  {5, data + "/pcm16.wav"},
    };
    for (const auto &slot : slots)
        m_editor.theme.setSlot(slot.slot, slot.file);
    m_editor.gameDirectory = path("game");
    vesk::SlotMeasurements measurements({});
    m_ui.answers = {Answer::Yes, Answer::No};
    vesk::convert(m_editor, m_ui, &measurements);
    const auto named = [&](int slot) { return vesk::slotDescription(slot) + " " + slots[slot - 1].file; };
    ASSERT_EQ(m_ui.told.size(), 2u);
    EXPECT_EQ(m_ui.told[0], "ask These sounds are much longer than the game's own: " + named(4)
                                + ": 3.5 s, the game's is 0.5 s. Go on with them as they are? (No cancels.)");
    for (const std::string &line : {named(1) + ": not a sound file\n", named(2) + ": damaged after 0.2 s\n",
                                    named(3) + ": damaged after 0.2 s\n"})
        EXPECT_NE(m_ui.told[1].find(line), std::string::npos) << m_ui.told[1];
    EXPECT_FALSE(std::filesystem::exists(path("game/" + std::string(vesk::slotInfo(5).gameFile) + ".new")));
}

} // namespace

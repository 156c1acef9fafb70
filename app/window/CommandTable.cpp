// The command table: builds the commands, menus and tool bar and keeps their enabled state in step with the game.
#include "CommandTable.h"

#include "Effects.h"
#include "WindowTexts.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

const char CategoryProperty[] = "Category";
const char TagProperty[] = "Tag";

// A command's object name is the key of its stored check mark, so it never changes.
struct CommandDefinition {
    const char *name;
    const char *category;
    qint32 tag;
    bool checkable;
    bool checked;
};

// In the order of Command; the texts are those of WindowTexts::Commands at the same place.
constexpr CommandDefinition Definitions[] = {
    {"ObscureAction", "Effect", 0, true, false},
    {"ZoomInAction", "Zoom", 0, false, false},
    {"NewAction", "Puzzle", 0, false, false},
    {"ActualSizeAction", "Zoom", 0, false, false},
    {"ZoomOutAction", "Zoom", 0, false, false},
    {"BestFitAction", "Zoom", 0, false, false},
    {"AutoBestFitAction", "Zoom", 0, true, false},
    {"EmptyRowAction", "Edit", 0, true, false},
    {"EmptyColumnAction", "Edit", 0, true, false},
    {"DarkAction", "Effect", 0, true, false},
    {"TransparentAction", "Effect", 0, true, false},
    {"NegativeAction", "Effect", 0, true, false},
    {"HiddenAction", "Effect", 0, true, true},
    {"TopSecretAction", "Effect", 0, true, false},
    {"SemiEffectAction", "Edit", 4, true, false},
    {"AboutAction", "Help", 0, false, false},
    {"HelpAction", "Help", 0, false, false},
    {"LowResolutionAction", "Effect", 0, true, false},
    {"Action2x2", "Split", 0, true, true},
    {"Action3x2", "Split", 0, true, false},
    {"Action4x2", "Split", 0, true, false},
    {"Action2x3", "Split", 0, true, false},
    {"Action3x3", "Split", 0, true, false},
    {"Action4x3", "Split", 0, true, false},
    {"Action2x4", "Split", 0, true, false},
    {"Action3x4", "Split", 0, true, false},
    {"Action4x4", "Split", 0, true, false},
    {"ShowAtStartAction", "", 0, true, true},
    {"OpenAction", "Puzzle", 0, false, false},
    {"SaveAsAction", "Puzzle", 0, false, false},
    {"SaveImageAsAction", "Puzzle", 0, false, false},
    {"SendByEMailAction", "Puzzle", 0, false, false},
    {"TangleAction", "Puzzle", 0, false, false},
    {"ExitAction", "Puzzle", 0, false, false},
    {"UndoMoveAction", "Puzzle", 0, false, false},
    {"RedoMoveAction", "Puzzle", 0, false, false},
    {"SaveAsWebPageAction", "Puzzle", 0, false, false},
    {"FullScreenAction", "View", 0, true, false},
    {"RestartAction", "Puzzle", 0, false, false},
};
static_assert(std::size(Definitions) == std::size(WindowTexts::Commands));
static_assert(std::size(Definitions) == std::size_t(Command::Restart) + 1);

// The effect commands in the order of the command list, with the effect each one applies.
constexpr std::pair<Command, EffectCode> EffectCommands[] = {
    {Command::Obscure, Effect::Obscure},
    {Command::Dark, Effect::Dark},
    {Command::Transparent, Effect::Transparent},
    {Command::Negative, Effect::Negative},
    {Command::Hidden, Effect::Hidden},
    {Command::TopSecret, Effect::TopSecret},
    {Command::LowResolution, Effect::LowResolution},
};

QIcon toolIcon(const QString &name)
{
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.png").arg(name)));
}

} // namespace

CommandTable::CommandTable(QMainWindow *window) : QObject(window)
{
    createCommands(window);
    createMenus(window);
    createToolBar(window);

    for (const auto &[command, code] : EffectCommands)
        action(command)->setProperty(TagProperty, qint32(code));

    // The actual-size command stays out of sight (zooming covers it); the edit options start off, and their
    // stored check marks apply once the settings are read.
    action(Command::ActualSize)->setVisible(false);
    for (Command option : {Command::EmptyRow, Command::EmptyColumn, Command::SemiEffect})
        action(option)->setChecked(false);
}

void CommandTable::createCommands(QMainWindow *window)
{
    for (std::size_t i = 0; i < std::size(Definitions); ++i) {
        const CommandDefinition &definition = Definitions[i];
        const WindowTexts::CommandText &text = WindowTexts::Commands[i];
        auto *action = new QAction(QCoreApplication::translate("Commands", text.caption), window);
        action->setObjectName(QLatin1String(definition.name));
        action->setProperty(CategoryProperty, QString::fromLatin1(definition.category));
        action->setProperty(TagProperty, definition.tag);
        const QString hint = QCoreApplication::translate("Commands", text.hint);
        if (!hint.isEmpty()) {
            action->setStatusTip(hint);
            action->setToolTip(hint);
        }
        action->setCheckable(definition.checkable);
        action->setChecked(definition.checked);
        action->setIconVisibleInMenu(false);
        m_actions.append(action);
    }
    // The keys people expect from any desktop program; the menus show them beside the captions.
    const std::pair<Command, QList<QKeySequence>> keys[] = {
        {Command::New, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {Command::Open, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {Command::SaveAs, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {Command::Exit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
        {Command::Help, {QKeySequence(Qt::Key_F1)}},
        {Command::FullScreen, {QKeySequence(Qt::Key_F11)}},
        {Command::Restart, {QKeySequence(Qt::CTRL | Qt::Key_R)}},
        // Plus is a shifted key on many layouts: Ctrl with the key that carries it works as well.
        {Command::ZoomIn, {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}},
        {Command::ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
        {Command::BestFit, {QKeySequence(Qt::CTRL | Qt::Key_0)}},
        {Command::UndoMove, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
        {Command::RedoMove, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}},
    };
    for (const auto &[command, sequences] : keys)
        action(command)->setShortcuts(sequences);
}

void CommandTable::createMenus(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();
    auto addMenu = [this, bar](const char *name, const char *caption) {
        QMenu *menu = bar->addMenu(QCoreApplication::translate("Commands", caption));
        menu->setObjectName(QLatin1String(name));
        connect(menu, &QMenu::aboutToShow, this, &CommandTable::menuOpening);
        m_menus.append(menu);
        return menu;
    };
    // An empty item is a separator.
    auto fill = [this](QMenu *menu, std::initializer_list<std::optional<Command>> items) {
        for (const std::optional<Command> &item : items) {
            if (item)
                menu->addAction(action(*item));
            else
                menu->addSeparator();
        }
    };
    const std::optional<Command> separator;

    fill(addMenu("mPuzzle", WindowTexts::PuzzleMenu),
         {Command::New, Command::Open, separator, Command::SaveAs, Command::SaveImageAs, Command::SaveAsWebPage,
          separator, Command::SendByEMail, separator, Command::UndoMove, Command::RedoMove, Command::Tangle,
          Command::Restart, separator, Command::Exit});
    fill(addMenu("mView", WindowTexts::ViewMenu),
         {Command::ZoomIn, Command::ZoomOut, separator, Command::ActualSize, Command::BestFit, separator,
          Command::AutoBestFit, separator, Command::FullScreen});
    // Qt menus cannot break into columns, so the three columns follow one another, a separator between them.
    fill(addMenu("mSplit", WindowTexts::SplitMenu),
         {Command::Split2x2, Command::Split3x2, Command::Split4x2, separator, Command::Split2x3, Command::Split3x3,
          Command::Split4x3, separator, Command::Split2x4, Command::Split3x4, Command::Split4x4});
    fill(addMenu("mEffect", WindowTexts::EffectMenu),
         {Command::Obscure, Command::Dark, Command::Transparent, Command::Negative, Command::Hidden, Command::TopSecret,
          Command::LowResolution});
    fill(addMenu("mEdit", WindowTexts::EditMenu),
         {separator, Command::EmptyRow, Command::EmptyColumn, separator, Command::SemiEffect, separator});

    QMenu *options = addMenu("mOptions", WindowTexts::OptionsMenu);
    m_sound = options->addAction(QCoreApplication::translate("Commands", WindowTexts::SoundItem));
    m_sound->setObjectName(QStringLiteral("mSound"));
    m_sound->setCheckable(true);
    m_sound->setChecked(true);

    QMenu *help = addMenu("mHelp", WindowTexts::HelpMenu);
    fill(help, {Command::Help, separator});
    m_showExample = help->addAction(QCoreApplication::translate("Commands", WindowTexts::ShowExampleItem));
    m_showExample->setObjectName(QStringLiteral("mShowexampe"));
    fill(help, {separator, Command::About});
}

void CommandTable::createToolBar(QMainWindow *window)
{
    m_toolBar = window->addToolBar(QCoreApplication::translate("Commands", WindowTexts::ToolBarTitle));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    const std::pair<Command, const char *> icons[] = {
        {Command::New, "document-new"},        {Command::Open, "document-open"},
        {Command::SaveAs, "document-save-as"}, {Command::SaveImageAs, "image-x-generic"},
        {Command::SendByEMail, "mail-send"},   {Command::Tangle, "view-refresh"},
        {Command::ZoomIn, "zoom-in"},          {Command::ZoomOut, "zoom-out"},
    };
    for (const auto &[command, icon] : icons)
        action(command)->setIcon(toolIcon(QLatin1String(icon)));
    m_toolBar->addAction(action(Command::New));
    m_toolBar->addAction(action(Command::Open));
    m_toolBar->addSeparator();
    for (Command command : {Command::SaveAs, Command::SaveImageAs, Command::SendByEMail, Command::Tangle})
        m_toolBar->addAction(action(command));
    m_toolBar->addSeparator();
    m_toolBar->addAction(action(Command::ZoomIn));
    m_toolBar->addAction(action(Command::ZoomOut));
}

bool CommandTable::isChecked(Command command) const
{
    return action(command)->isChecked();
}

QString CommandTable::category(const QAction *action)
{
    return action->property(CategoryProperty).toString();
}

qint32 CommandTable::tag(const QAction *action)
{
    return action->property(TagProperty).toInt();
}

QList<QAction *> CommandTable::effects() const
{
    QList<QAction *> list;
    for (const auto &entry : EffectCommands)
        list.append(action(entry.first));
    return list;
}

Split CommandTable::split() const
{
    Split split;
    for (const QAction *action : m_actions)
        if (category(action) == QLatin1String("Split") && action->isChecked()) {
            const QString caption = action->text();
            if (caption.size() >= 3) {
                split.rows = caption.at(0).digitValue();
                split.columns = caption.at(2).digitValue();
            }
            return split;
        }
    return split;
}

PuzzleSetup CommandTable::puzzleSetup() const
{
    PuzzleSetup setup;
    setup.effect = m_currentEffect;
    setup.split = split();
    setup.semiEffect = isChecked(Command::SemiEffect);
    setup.emptyRow = isChecked(Command::EmptyRow);
    setup.emptyColumn = isChecked(Command::EmptyColumn);
    return setup;
}

void CommandTable::choose(QAction *chosen)
{
    const QString group = category(chosen);
    for (QAction *action : std::as_const(m_actions))
        if (category(action) == group)
            action->setChecked(false);
    chosen->setChecked(true);
    if (group == QLatin1String("Effect"))
        m_currentEffect = tag(chosen);
}

void CommandTable::update(const GameState &state)
{
    const bool p = state.hasPuzzle;
    const bool e = state.editMode;
    const bool s = state.solved;
    const bool a = isChecked(Command::AutoBestFit);

    for (QAction *action : std::as_const(m_actions)) {
        const QString c = category(action);
        if (c == QLatin1String("Edit") || c == QLatin1String("Split") || c == QLatin1String("Effect"))
            action->setEnabled(e);
    }

    for (const QAction *effect : effects())
        if (effect->isChecked()) {
            m_currentEffect = tag(effect);
            break;
        }

    for (Command always : {Command::New, Command::Open, Command::Exit, Command::AutoBestFit, Command::Help,
                           Command::About, Command::ShowAtStart, Command::FullScreen})
        action(always)->setEnabled(true);
    action(Command::SaveAs)->setEnabled(p);
    action(Command::SaveImageAs)->setEnabled(s);
    action(Command::SendByEMail)->setEnabled(p && !state.modified && !state.mailUnderWay);
    // The page carries the file as it is on disk, as the mail does.
    action(Command::SaveAsWebPage)->setEnabled(action(Command::SendByEMail)->isEnabled());
    action(Command::Tangle)->setEnabled(e || s || (p && state.continued));
    action(Command::Restart)->setEnabled(p && state.canRestart);
    action(Command::ZoomIn)->setEnabled(p && state.canZoomIn && !a);
    action(Command::ZoomOut)->setEnabled(p && state.canZoomOut);
    action(Command::ActualSize)->setEnabled(p && state.canActualSize);
    action(Command::BestFit)->setEnabled(p && !a);
    action(Command::UndoMove)->setEnabled(p && state.canUndo);
    action(Command::RedoMove)->setEnabled(p && state.canRedo);
}

void CommandTable::suspend()
{
    for (QAction *action : std::as_const(m_actions))
        action->setEnabled(false);
    // Not commands, but menu items all the same: nothing may be chosen while the commands are off.
    m_sound->setEnabled(false);
    m_showExample->setEnabled(false);
}

void CommandTable::resume()
{
    m_sound->setEnabled(true);
    m_showExample->setEnabled(true);
}

QAction *CommandTable::checkMarkAction(const QString &name) const
{
    if (name == m_sound->objectName())
        return m_sound;
    for (QAction *action : m_actions)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

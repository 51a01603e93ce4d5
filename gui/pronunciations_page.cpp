// The bot's pronunciations: how it says the words of its phrases, edited from the Speech page and
// applied to every rendering of a phrase (the generation's two passes and "Play preview").
#include <QComboBox>
#include <QPushButton>

#include "core/errors.h"
#include "core/pronunciations.h"
#include "core/text16.h"
#include "core/workspace_paths.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/bot_speech.h"
#include "gui/errorreport.h"
#include "gui/generation.h"
#include "gui/main.h"
#include "gui/pronunciations_editor.h"

std::string TfrmTextToSpeech::spokenPhrase(const std::string& phrase) const {
    return spokenText(phrase, BotSpeech1->pronunciations);
}

void TfrmTextToSpeech::LoadPronunciations(bool tellLeftOut) {
    BotSpeech1->pronunciations.clear();
    if (ComboBoxBots->currentIndex() < 0) return;
    std::vector<std::string> problems;
    BotSpeech1->pronunciations = readPronunciations(botFolder(botName()), &problems);
    if (tellLeftOut && !problems.empty()) {
        std::string text = format(
            "Some lines of the pronunciations of the bot \"%s\" were left "
            "out; they are kept in a backup when the list is next stored:",
            botName().c_str());
        for (const std::string& p : problems) text += "\n" + p;
        queueMessage(Dialogs::Kind::Warning, text);
    }
}

void TfrmTextToSpeech::ButtonPronunciationsClick(QObject*) {
    if (ComboBoxBots->currentIndex() < 0)
        throw AppError(errkind::kEdit, "Please choose a bot first");
    const std::string bot = botName();
    // The list is read again: what the file holds is what is edited, and a file that cannot be
    // read is told before anything could be written over it. Lines left out were told when the
    // bot was chosen.
    LoadPronunciations(false);
    PronunciationsEditor editor(
        this, bot, BotSpeech1->pronunciations,
        [this](const std::string& spoken) {
            SpeechGeneration1->VisemeLogPath.clear();  // heard, not logged
            SpVoice->Speak(toUtf16(spoken), SVSFlagsAsync);
        },
        [this, bot](const PronunciationList& list) {
            const std::string backup = writePronunciations(botFolder(bot), list);
            BotSpeech1->pronunciations = list;
            BotSpeech1->update.start();  // the rows whose spoken text changed are out of date
            if (!backup.empty())
                queueMessage(Dialogs::Kind::Warning,
                             format("The pronunciations of the bot \"%s\" held lines that were "
                                    "left out. Its original content was kept in \"%s\".",
                                    bot.c_str(), backup.c_str()));
        });
    editor.exec();
}

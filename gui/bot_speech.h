#pragma once

#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

#include "core/folder_lock.h"
#include "core/pronunciations.h"
#include "core/speech_record.h"

// The speech files of the selected bot as the window knows them: what they were made from (the
// bot's speech.txt), and the phrase list as its file holds it. A component of the main window
// without a control of its own; the window's members keep it up to date.
class BotSpeech : public QObject {
public:
    explicit BotSpeech(QObject* owner) : QObject(owner) {
        update.setSingleShot(true);
        update.setInterval(0);
    }
    std::string bot;                   // whose files these are; empty: none loaded
    FolderLock lock;                   // the bot folder's, while the bot is selected
    SpeechRecord record;               // what they were made from
    PronunciationList pronunciations;  // how the bot says its words (pronunciations.txt)
    std::vector<std::string> written;  // the phrase list as phrases.txt holds it
    bool writtenPending = false;       // the list was written: `written` is the grid's now
    bool relinkPending = false;        // the list was written since the files were matched
    bool applying = false;             // the bot's own voice is being put on the page
    // The voice, rate and volume that start-up chose, for a bot without its own.
    int startVoiceRow = -1, startRate = 0, startVolume = 100;
    // Coalesces the updates of the rows' marks and counts after writes of the list.
    QTimer update;
};

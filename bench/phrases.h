#pragma once

#include <string>
#include <utility>
#include <vector>

// Mixed German and English phrases of the kind bots say, with the voice for each.
inline std::vector<std::pair<std::string, std::string>> benchPhrases(size_t count) {
    const char* german[] = {
        "Hallo! Wie kann ich Ihnen weiterhelfen?",
        "Unsere Preise finden Sie auf der Seite Angebote.",
        "Sie erhalten für alle Produkte technische Unterstützung.",
        "Wir sind montags bis freitags von neun bis siebzehn Uhr für Sie da.",
        "Schreiben Sie uns einfach eine E-Mail, wir antworten schnell.",
        "Die Lieferung dauert in der Regel zwei bis drei Werktage.",
        "Vielen Dank für Ihren Besuch und einen schönen Tag noch!",
        "Zahlen können Sie bequem per Rechnung, Lastschrift oder Kreditkarte.",
    };
    const char* english[] = {
        "Hello! How can I help you today?",
        "You will find our prices on the offers page.",
        "We are open from nine to five, Monday to Friday.",
        "Just send us an email, and we will answer quickly.",
        "Delivery usually takes two to three working days.",
        "Thank you for your visit, and have a nice day!",
        "You can pay by invoice, direct debit or credit card.",
        "Our support team is happy to help with every product.",
    };
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t i = 0; i < count; ++i) {
        if (i % 2 == 0)
            out.emplace_back("gmw/de", german[(i / 2) % 8]);
        else
            out.emplace_back("gmw/en", english[(i / 2) % 8]);
    }
    return out;
}

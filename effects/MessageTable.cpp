#include "effects/MessageTable.h"

#include <algorithm>

namespace effects {

const MessageTable& messageTexts() {
    static const MessageTable table = {
        "",
        "This can't be good for me!",
        "What?",
        "Drelkin's first release ever!",
        "We are soooooo... fucked!",
        "...",
        "The real credits are about to come in a second ...",
        "",
        "Kon ichi wa!",
        "Have you ever wondered why they say that first birth is the hardest one?",
        "Everybody just tell you so ...",
        "... But when you face it by yourself ... ",
        "... Only then you are able to say what it's all about",
        "...",
        "Away with that philosophic crap!",
        "",
        "We are proud to present our first prod to you",
        "This ModDisk shows some of our talents in arts category",
        "We hope that you'll enjoy watching and listening our innovations",
        "Code : Vesko and Tilde",
        "Audio Engineering : Marrow",
        "Gfx Proletarian : Tilde",
        "Swapper/Idler/Organizer : Vesko",
        "Greetings to :",
        "Kasper, Ilona, Jori, Mebbe, Sauli, Pirta, Otso, Runa, Tessu, Hakon ...",
        "... Lumi, Veikka, Aune ...",
        "... Ashgrove, Pale Circuit, Nordvolt, Kettle Crew, Inkwell, Halcyon 9, Orbweavers ...",
        "... And all the rest of you guys we forgot to mention ...",
        "We would also like to thank our families for helping us in every way",
        "You guys are the best!",
        "",
        "This project is owned for all the freelancers out there ...",
        "Just hang in there, fellas ...",
        "",
        "Velsmoor, Part I",
    };
    return table;
}

bool isAccentMessage(std::int16_t index) {
    return std::find(kAccentMessages.begin(), kAccentMessages.end(), index) != kAccentMessages.end();
}

const std::string* messageAt(const MessageTable& table, std::int16_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

} // namespace effects

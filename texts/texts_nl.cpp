#include "texts/texts.h"

namespace Texts {

const Table kText = {
    .dutch = true,
    .errorText =
        {
            "OK",
            "libsodium is niet gevonden of kon niet worden geladen.",
            "Het bestand kon niet worden gelezen of geschreven.",
            "Dit is geen geldig kluisbestand.",
            "Onjuist wachtwoord, of het bestand is beschadigd.",
            "Het wachtwoord mag niet leeg zijn.",
            "Onvoldoende geheugen.",
            "Er is geen kluis geopend.",
        },
    .unknownErrorPrefix = "Onbekende fout (",
    .sodiumMissing =
        "libsodium is niet gevonden.\nInstalleer het pakket libsodium23 of libsodium26.",
    .savingFailed = "Opslaan mislukt: ",
};

}  // namespace Texts

#include "texts/texts.h"

namespace Texts {

const Table kText = {
    .dutch = false,
    .errorText =
        {
            "OK",
            "libsodium was not found or could not be loaded.",
            "The file could not be read or written.",
            "This is not a valid vault file.",
            "Wrong password, or the file is damaged.",
            "The password must not be empty.",
            "Not enough memory.",
            "No vault is open.",
        },
    .unknownErrorPrefix = "Unknown error (",
    .sodiumMissing = "libsodium was not found.\nInstall the package libsodium23 or libsodium26.",
    .savingFailed = "Saving failed: ",
};

}  // namespace Texts

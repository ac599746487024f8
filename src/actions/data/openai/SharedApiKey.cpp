#include "actions/data/openai/SharedApiKey.h"

#include "core/SettingsStore.h"

namespace lexorra::openai {

// Read on every run, so a key entered in the preferences takes effect at once.
std::string readSharedApiKey() {
    Settings settings;
    return settings.string("apiKey");
}

} // namespace lexorra::openai

#include "core/SecretService.h"

#include "core/SharedLibrary.h"

#include <libsecret/secret.h>

#include <cstdlib>
#include <cstring>

namespace lexorra {
namespace {

struct Libsecret {
    gchar* (*lookup)(const SecretSchema*, GCancellable*, GError**, ...);
    gboolean (*store)(const SecretSchema*, const gchar*, const gchar*, const gchar*, GCancellable*, GError**, ...);
    gboolean (*clear)(const SecretSchema*, GCancellable*, GError**, ...);
    void (*freePassword)(gchar*);
    void (*freeError)(GError*);
};

const Libsecret* libsecret() {
    // Without a named bus, GLib would start one by X11 autolaunch, or fail slowly.
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!bus || !*bus) return nullptr;
    return loadFunctions<Libsecret>("libsecret-1.so.0", [](const SharedLibrary& library, Libsecret& api) {
        return library.resolve("secret_password_lookup_sync", api.lookup) &&
               library.resolve("secret_password_store_sync", api.store) &&
               library.resolve("secret_password_clear_sync", api.clear) &&
               library.resolve("secret_password_free", api.freePassword) &&
               library.resolve("g_error_free", api.freeError);
    });
}

const SecretSchema schema = {
    "org.lexorra.Lexorra.Secret", SECRET_SCHEMA_NONE, {{"store", SECRET_SCHEMA_ATTRIBUTE_STRING}}};

std::string takeMessage(const Libsecret& api, GError* error) {
    std::string message = error && error->message ? error->message : "the Secret Service did not answer";
    if (error) api.freeError(error);
    return message;
}

} // namespace

std::optional<std::string> SecretService::lookup(const std::string& storeFile) {
    const Libsecret* api = libsecret();
    if (!api) return std::nullopt;
    GError* error = nullptr;
    gchar* secret = api->lookup(&schema, nullptr, &error, "store", storeFile.c_str(), nullptr);
    if (error) api->freeError(error);
    if (!secret) return std::nullopt;
    std::string value(secret);
    api->freePassword(secret);
    return value;
}

bool SecretService::store(const std::string& storeFile, const std::string& secret, std::string* error) {
    const Libsecret* api = libsecret();
    if (!api) {
        if (error) *error = "no Secret Service on this session";
        return false;
    }
    GError* failure = nullptr;
    const gboolean done = secret.empty()
                              ? api->clear(&schema, nullptr, &failure, "store", storeFile.c_str(), nullptr) || !failure
                              : api->store(&schema, SECRET_COLLECTION_DEFAULT, "Lexorra API key", secret.c_str(),
                                           nullptr, &failure, "store", storeFile.c_str(), nullptr);
    if (done && !failure) return true;
    const std::string message = takeMessage(*api, failure);
    if (error) *error = message;
    return false;
}

} // namespace lexorra

#include "core/RunToken.h"

namespace lexorra {

RunToken& RunToken::application() {
    static RunToken token;
    return token;
}

} // namespace lexorra

#include "job/session_progress.h"

#include <utility>

#include "market/shop_session.h"

namespace kesto {

void PostProgress(const ShopSession& session, ProgressMessage message) {
    if (session.progress) {
        session.progress->Post(std::move(message));
    }
}

}  // namespace kesto

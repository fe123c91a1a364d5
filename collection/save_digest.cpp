#include "save_digest.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace {

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// Fetched once: an implicit fetch on every digest costs more than hashing a one-block save.
const EVP_MD* Sha256() {
  static EVP_MD* const method = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  if (method == nullptr) throw std::runtime_error("SHA-256 indisponível na biblioteca OpenSSL");
  return method;
}

}  // namespace

SaveDigest DigestOf(const SaveContents& save) {
  thread_local const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  const auto name = DirectoryNameBytes(save.frame);
  SaveDigest digest{};
  unsigned int length = 0;
  if (!context || EVP_DigestInit_ex(context.get(), Sha256(), nullptr) != 1 ||
      EVP_DigestUpdate(context.get(), name.data(), name.size()) != 1 ||
      EVP_DigestUpdate(context.get(), save.blocks.data(), save.blocks.size()) != 1 ||
      EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size()) {
    throw std::runtime_error("falha ao calcular o SHA-256 de um 'save'");
  }
  return digest;
}

std::string DigestText(const SaveDigest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(digest.size() * 2);
  for (uint8_t byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  return text;
}

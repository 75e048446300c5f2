// Placeholder until the tokenizer lands.
namespace quillon {}

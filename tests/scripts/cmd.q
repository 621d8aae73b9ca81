* CMD executa uma linha calculada; as palavras de bloco são recusadas.
seja $linha "escreve ""pelo cmd"""
cmd $linha
cmd "soma n 2"
escreve n
cmd "* comentário"
cmd "fim se"
escreve "nunca"

* TRANSFERE leva um texto ao clipboard (DE) e o traz de volta (PARA).
transfere para v
escreve "[" v "]"
seja v "Tradução"
transfere de v
transfere para $copia
escreve $copia

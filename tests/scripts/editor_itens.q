* F1 fala o próximo item do campo: uma palavra, um número, consoantes
* soletradas; o cursor passa cada um.
seja e "  casa 12 bcd"
escreve "Itens: " &
le edita e
escreve "[" e "]"

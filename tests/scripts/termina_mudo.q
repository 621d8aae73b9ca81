escreve "antes"
termina Mudo
escreve "nunca"

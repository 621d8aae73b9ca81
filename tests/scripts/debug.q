seja p 5
debug
soma p 19
* comentários e rótulos não aparecem no rastro
@rotulo
Seja  $x   =   p  
escreve $x
debug nao
debug Nao
escreve "sem rastro"
debug sim
debug -
escreve "sem rastro"
debug
debug n
debug N
escreve "fim"

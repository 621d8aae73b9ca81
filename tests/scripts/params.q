* Os brancos dentro de cada parâmetro viram %20.
seja $args params
escreve $args
seja q palavra 1 $args
escreve "quantos: " q
seja q palavra 2 $args
escreve q

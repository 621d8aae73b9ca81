* Um menu de sete itens numa caixa de seis linhas, escolhido de várias maneiras.
menu cria 1 1 20 6
menu adiciona "um"
menu adiciona "dois"
menu adiciona "três"
menu adiciona "quatro"
menu adiciona "cinco"
menu adiciona "seis"
menu adiciona "sete"
seja v 3
menu executa v w z
escreve mudo v " " w " " z
menu executa v w z
escreve mudo v " " w " " z
menu executa v w z
escreve mudo v " " w " " z
menu executa v w z
escreve mudo v " " w " " z
* Direita recomeça no item de v, não onde o cursor estava.
seja v 2
menu executa v w z
escreve mudo v " " w " " z
menu termina
escreve "fim"
